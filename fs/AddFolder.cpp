// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/AddFolder.h"

#include "fs/FolderWalk.h"
#include "fs/Main.h"
#include "fs/Utf8.h"
#include "platform/FileSystem.h"

namespace quillmere {

namespace {

bool IsRefusedCodePoint(char32_t c) {
    return c < 32 || (c >= 127 && c <= 159) || c == '?';
}

} // namespace

void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control) {
    (void)FolderWalk(list, recurse, control).Run();
}

bool GetSubDirectoriesWithFiles(FolderList& list, ListedFiles& files, bool recurse, const WalkControl& control) {
    files = ListedFiles();
    return FolderWalk(list, recurse, control, &files).Run();
}

std::vector<std::string> GetFilesInFolder(const std::string& folder) {
    const std::string prefix = WithTrailingSeparator(folder);
    std::vector<std::string> names = platform::ListFileNames(prefix).names;
    std::erase_if(names, [&](const std::string& name) { return !IsOpenableListedFile(prefix, name); });
    return names;
}

bool HasInvalidChars(std::string_view name) {
    for (std::size_t pos = 0; pos < name.size();) {
        const auto codePoint = NextCodePoint(name, pos);
        if (!codePoint || IsRefusedCodePoint(*codePoint)) {
            return true;
        }
    }
    return false;
}

bool IsOpenableListedFile(const std::string& folder, const std::string& name) {
    return platform::kListedFilesCanBeOpened || IsExistingFile(folder + name);
}

bool IsExistingFile(const std::string& path) {
    try {
        return platform::CanOpenExistingFile(path);
    } catch (...) {
        return false;
    }
}

} // namespace quillmere
