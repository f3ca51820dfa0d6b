// SPDX-License-Identifier: GPL-3.0-or-later
// The fail-safe copy: the data goes to a "~" file beside the destination, which then replaces it in one rename.
#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace quillmere::platform {

using windows::FileHandle;

namespace {

// The attributes a copy carries over, as the system's own file copy does.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct SourceFacts {
    DWORD attributes = 0;
    FILETIME lastWrite{};
};

std::wstring FolderPartOf(const std::wstring& path) {
    const auto last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

// A new file of its own in folder: CREATE_NEW never opens a file someone else made. Its name starts with "~",
// so a pass never takes a leftover one for a file to synchronize. name is empty when no file was made.
FileHandle CreateTemporaryFile(const std::wstring& folder, std::wstring& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + L"~qm" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
        FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file.valid())
            return file;
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    name.clear();
    return FileHandle(INVALID_HANDLE_VALUE);
}

bool CopyData(HANDLE from, HANDLE to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

// Some file systems (FUSE and network ones among them) stamp the time of the rename on the file, so the time is
// set again on the final name.
bool SetLastWriteTime(const std::wstring& path, const FILETIME& time) {
    FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && SetFileTime(file.get(), nullptr, nullptr, &time);
}

// Writes the temporary file completely: data, time, flushed to the disk, closed, attributes last (a read-only
// attribute would refuse the writes before it).
bool WriteTemporary(HANDLE source, const SourceFacts& facts, const std::wstring& folder, std::wstring& temporary) {
    FileHandle target = CreateTemporaryFile(folder, temporary);
    if (!target.valid())
        return false;
    const bool written = CopyData(source, target.get()) &&
                         SetFileTime(target.get(), nullptr, nullptr, &facts.lastWrite) &&
                         FlushFileBuffers(target.get());
    const bool closed = target.reset();
    // 0 would leave the attributes as they are; "normal" clears them.
    const DWORD attributes = facts.attributes & kCopiedAttributes;
    return written && closed && SetFileAttributesW(temporary.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

void RemoveTemporary(const std::wstring& temporary) {
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
}

} // namespace

bool CopyFileFailSafe(const std::string& source, const std::string& destination) {
    const auto from = windows::ToWide(source);
    const auto to = windows::ToWide(destination);
    if (!from || !to || from->empty() || to->empty())
        return false;
    const DWORD existing = GetFileAttributesW(to->c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    FileHandle input(CreateFileW(from->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!input.valid() || !GetFileInformationByHandle(input.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const SourceFacts facts{info.dwFileAttributes, info.ftLastWriteTime};

    std::wstring temporary;
    if (!WriteTemporary(input.get(), facts, FolderPartOf(*to), temporary) ||
        !MoveFileExW(temporary.c_str(), to->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (!temporary.empty())
            RemoveTemporary(temporary);
        return false;
    }
    SetLastWriteTime(*to, facts.lastWrite);
    return true;
}

} // namespace quillmere::platform
