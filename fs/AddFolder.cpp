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

} // namespace

void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control) {
    FolderWalk(list, recurse, control).Run();
}

std::vector<std::string> GetFilesInFolder(const std::string& folder, std::string_view pattern) {
    const char separator = SeparatorOf(kNativePathStyle);
    const std::string prefix = folder.ends_with(separator) ? folder : folder + separator;
    std::vector<std::string> names;
    for (std::string& name : platform::ListFileNames(prefix).names) {
        if (MatchesPattern(name, pattern) && (platform::kListedFilesCanBeOpened || IsExistingFile(prefix + name))) {
            names.push_back(std::move(name));
        }
    }
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

bool IsExistingFile(const std::string& path) {
    try {
        return platform::CanOpenExistingFile(path);
    } catch (...) {
        return false;
    }
}

} // namespace quillmere
