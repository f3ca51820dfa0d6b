// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/AddFolder.h"

#include "fs/FolderWalk.h"
#include "fs/Main.h"
#include "fs/Utf8.h"
#include "platform/FileSystem.h"

namespace quillmere {

namespace {

// "*" matches any run of characters, "?" any one character; "*.*" matches every name, as on Windows.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (MatchesPattern(name.substr(skip), pattern.substr(1))) {
                return true;
            }
        }
        return false;
    }
    return !name.empty() && (pattern.front() == '?' || pattern.front() == name.front()) &&
           MatchesPattern(name.substr(1), pattern.substr(1));
}

bool IsRefusedCodePoint(char32_t c) {
    return c < 32 || (c >= 127 && c <= 159) || c == '?';
}

std::string AsFolderPrefix(const std::string& folder) {
    const char separator = SeparatorOf(kNativePathStyle);
    return folder.ends_with(separator) ? folder : folder + separator;
}

// The listed names of the files in the folder prefix that match pattern and can be opened.
std::vector<std::string> FilesMatching(const std::string& prefix, std::vector<std::string> names,
                                       std::string_view pattern) {
    std::erase_if(names, [&](const std::string& name) {
        return !MatchesPattern(name, pattern) || !(platform::kListedFilesCanBeOpened || IsExistingFile(prefix + name));
    });
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
            *files[i] = FilesMatching(AsFolderPrefix(list[i]), std::move(*files[i]), "*.*");
        }
    }
}

std::vector<std::string> GetFilesInFolder(const std::string& folder, std::string_view pattern) {
    const std::string prefix = AsFolderPrefix(folder);
    return FilesMatching(prefix, platform::ListFileNames(prefix).names, pattern);
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
