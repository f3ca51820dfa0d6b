// SPDX-License-Identifier: GPL-3.0-or-later
// A private temporary folder for one test, removed with everything in it afterwards, and small file helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing "/".
    const std::string& Path() const { return path_; }
    // Path() + "/" + relative.
    std::string operator/(std::string_view relative) const;

private:
    std::string path_;
};

// Writes (or replaces) a file with the given text; creates no folder.
void WriteFile(const std::string& path, std::string_view text);
std::string ReadFile(const std::string& path);
void MakeFolder(const std::string& path);
// The names in folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

// Last-write time in nanoseconds since 1970 (links followed); -1 when the path does not exist.
std::int64_t LastWriteNs(const std::string& path);
void SetLastWriteNs(const std::string& path, std::int64_t nanoseconds);

} // namespace quillmere::test
