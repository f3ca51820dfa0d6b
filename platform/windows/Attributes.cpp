// SPDX-License-Identifier: GPL-3.0-or-later
// Attributes, existence and identity of files and folders through the Win32 "W" functions.
#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

namespace quillmere::platform {

using windows::FileHandle;
using windows::ToWidePath;

namespace {

// The bits the folder walk is told about. Windows adds others of its own accord (not content indexed, offline,
// pinned...); the walk compares whole values (22, 1046), so a recycle-bin folder carrying one of those must still
// read as 22.
constexpr DWORD kReportedBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT |
                                FILE_ATTRIBUTE_COMPRESSED;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveRoot(const std::string& folder) {
    const bool letter =
        folder.size() >= 2 && ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    return letter && folder[1] == ':' && (folder.size() == 2 || (folder.size() == 3 && IsSeparator(folder[2])));
}

// "\\server\share" with at most one separator after the share name.
bool IsShareRoot(const std::string& folder) {
    if (folder.size() < 5 || !IsSeparator(folder[0]) || !IsSeparator(folder[1]) || IsSeparator(folder[2]))
        return false;
    std::size_t at = 2;
    int parts = 0;
    while (at < folder.size()) {
        std::size_t end = at;
        while (end < folder.size() && !IsSeparator(folder[end]))
            ++end;
        if (end == at)
            return false; // a doubled separator inside
        ++parts;
        at = end + 1;
    }
    return parts == 2;
}

} // namespace

std::optional<std::uint32_t> ReadAttributes(const std::string& path) {
    const auto wide = ToWidePath(path);
    if (!wide)
        return std::nullopt;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes & kReportedBits;
}

bool IsRootFolder(const std::string& folder) {
    return IsDriveRoot(folder) || IsShareRoot(folder);
}

bool CanOpenExistingFile(const std::string& path) {
    const auto wide = ToWidePath(path);
    if (!wide || wide->empty())
        return false;
    // No data access: a file locked against reading by someone else still counts as existing.
    FileHandle file(CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        return false;
    // Windows refuses to open a folder without backup semantics, but Wine opens it: ask the handle itself.
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file.get(), &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderProblem(const std::string& folder) {
    const auto wide = ToWidePath(folder);
    if (!wide || wide->empty())
        return SystemMessage(ERROR_INVALID_NAME);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return SystemMessage(static_cast<int>(GetLastError()));
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? std::string() : SystemMessage(ERROR_DIRECTORY);
}

std::optional<FileIdentity> ReadFolderIdentity(const std::string& folder) {
    const auto wide = ToWidePath(folder);
    if (!wide || wide->empty())
        return std::nullopt;
    // Follows links, so a link back to an ancestor yields the ancestor's identity.
    FileHandle handle(CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace quillmere::platform
