// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/windows/WindowsTestFolder.h"

#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"

#include <atomic>
#include <stdexcept>

namespace quillmere::testing {

namespace {

std::wstring Wide(const std::string& path) {
    auto wide = platform::windows::ToWidePath(path);
    if (!wide)
        throw std::runtime_error("not UTF-8: " + path);
    return *wide;
}

void Check(bool ok, const char* what, const std::string& path) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed (" + std::to_string(GetLastError()) + "): " + path);
}

struct File {
    explicit File(HANDLE h) : handle(h) {}
    ~File() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    HANDLE handle;
};

// Read-only and hidden entries included, and paths beyond the classic limit too.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(platform::windows::LongPathForm(folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = platform::windows::LongPathForm(folder + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(platform::windows::LongPathForm(folder).c_str());
}

} // namespace

std::string MakeTemporaryFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring name = std::wstring(temp) + L"qm-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
    Check(CreateDirectoryW(name.c_str(), nullptr), "CreateDirectoryW", "temporary folder");
    return *platform::windows::ToUtf8(name) + "\\";
}

void RemoveFolderTree(const std::string& folder) {
    RemoveTree(Wide(folder));
}

WindowsTestFolder::WindowsTestFolder() : path_(MakeTemporaryFolder()) {}

WindowsTestFolder::~WindowsTestFolder() {
    RemoveFolderTree(path_);
}

void MakeFolder(const std::string& path) {
    Check(CreateDirectoryW(Wide(path).c_str(), nullptr), "CreateDirectoryW", path);
}

std::string MakeDeepFolder(std::string folder, std::size_t length) {
    while (folder.size() < length) {
        folder += std::string(100, 'd') + "\\";
        MakeFolder(folder);
    }
    return folder;
}

void WriteText(const std::string& path, const std::string& text) {
    File file(
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(file.handle != INVALID_HANDLE_VALUE, "CreateFileW", path);
    DWORD written = 0;
    Check(WriteFile(file.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr), "WriteFile", path);
}

std::string ReadText(const std::string& path) {
    File file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    Check(file.handle != INVALID_HANDLE_VALUE, "CreateFileW", path);
    std::string text(static_cast<std::size_t>(GetFileSize(file.handle, nullptr)), '\0');
    DWORD read = 0;
    Check(ReadFile(file.handle, text.data(), static_cast<DWORD>(text.size()), &read, nullptr), "ReadFile", path);
    text.resize(read);
    return text;
}

void SetAttributes(const std::string& path, DWORD attributes) {
    Check(SetFileAttributesW(Wide(path).c_str(), attributes), "SetFileAttributesW", path);
}

void SetLastWriteSteps(const std::string& path, std::uint64_t steps) {
    File file(CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    Check(file.handle != INVALID_HANDLE_VALUE, "CreateFileW", path);
    const FILETIME time{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    Check(SetFileTime(file.handle, nullptr, nullptr, &time), "SetFileTime", path);
}

int CountTemporaryFiles(const std::string& folder) {
    int count = 0;
    for (const std::string& name : platform::ListFileNames(folder).names)
        count += name.starts_with("~") ? 1 : 0;
    return count;
}

} // namespace quillmere::testing
