// SPDX-License-Identifier: GPL-3.0-or-later
// A private temporary folder for one test, and the few Win32 file operations the tests prepare files with.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

namespace quillmere::testing {

// Created under the system's temporary folder with a unique name; removed with all it holds, read-only and
// hidden files included.
class WindowsTestFolder {
public:
    WindowsTestFolder();
    WindowsTestFolder(const WindowsTestFolder&) = delete;
    WindowsTestFolder& operator=(const WindowsTestFolder&) = delete;
    ~WindowsTestFolder();

    // UTF-8 path ending in "\".
    const std::string& path() const { return path_; }
    // path() followed by relative.
    std::string operator/(const std::string& relative) const { return path_ + relative; }

private:
    std::string path_;
};

// A new folder under the system's temporary folder, its path ending in "\"; and a folder removed with all it holds.
std::string MakeTemporaryFolder();
void RemoveFolderTree(const std::string& folder);

void MakeFolder(const std::string& path);
// Makes folders of 100-character names one inside the other under folder until the path reaches length; returns
// it, ending in "\".
std::string MakeDeepFolder(std::string folder, std::size_t length);
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);
// Last-write time as a Windows file time: 100 ns steps since 1601-01-01 00:00 UTC.
void SetLastWriteSteps(const std::string& path, std::uint64_t steps);
// Names in folder starting with "~": what a copy must never leave behind.
int CountTemporaryFiles(const std::string& folder);

} // namespace quillmere::testing
