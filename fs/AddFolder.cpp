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

// The listed names of the files in the folder prefix that can be opened.
std::vector<std::string> OpenableFiles(const std::string& prefix, std::vector<std::string> names) {
    if (!platform::kListedFilesCanBeOpened) {
        std::erase_if(names, [&](const std::string& name) { return !IsExistingFile(prefix + name); });
    }
    return names;
}

} // namespace

void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control) {
    FolderWalk(list, recurse, control).Run();
}

void GetSubDirectoriesWithFiles(FolderList& list, FolderFileNames& files, bool recurse, const WalkControl& control) {
    files.clear();
    FolderWalk(list, recurse, control, &files).Run();
    // A walk that broke off early, or failed to keep some names, left folders without them.
    files.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (files[i]) {
            *files[i] = OpenableFiles(WithTrailingSeparator(list[i]), std::move(*files[i]));
        }
    }
}

std::vector<std::string> GetFilesInFolder(const std::string& folder) {
    const std::string prefix = WithTrailingSeparator(folder);
    return OpenableFiles(prefix, platform::ListFileNames(prefix).names);
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

bool IsExistingFile(const std::string& path) {
    try {
        return platform::CanOpenExistingFile(path);
    } catch (...) {
        return false;
    }
}

} // namespace quillmere
