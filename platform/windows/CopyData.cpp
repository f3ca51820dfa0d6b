// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/CopyData.h"

#include <winioctl.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace quillmere::platform::windows {

namespace {

constexpr DWORD kBufferSize = 1 << 20;

// From where each file stands to the end of from.
bool CopyThroughBuffer(HANDLE from, HANDLE to, std::vector<char>& buffer, LONGLONG most) {
    while (most > 0) {
        DWORD read = 0;
        const DWORD asked = static_cast<DWORD>(std::min<LONGLONG>(most, static_cast<LONGLONG>(buffer.size())));
        if (!ReadFile(from, buffer.data(), asked, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr) || written != read)
            return false;
        most -= read;
    }
    return true;
}

bool KeepsSparseFiles(HANDLE file) {
    DWORD flags = 0;
    return GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_SUPPORTS_SPARSE_FILES) != 0;
}

// The pieces of from that hold data, in order; no value where the file system cannot tell them.
std::optional<std::vector<FILE_ALLOCATED_RANGE_BUFFER>> AllocatedRanges(HANDLE from, LONGLONG size) {
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> ranges;
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> answer(256);
    FILE_ALLOCATED_RANGE_BUFFER asked{};
    asked.Length.QuadPart = size;
    for (;;) {
        DWORD returned = 0;
        const BOOL all = DeviceIoControl(from, FSCTL_QUERY_ALLOCATED_RANGES, &asked, sizeof asked, answer.data(),
                                         static_cast<DWORD>(answer.size() * sizeof answer[0]), &returned, nullptr);
        const std::size_t got = returned / sizeof answer[0];
        if ((!all && GetLastError() != ERROR_MORE_DATA) || (!all && got == 0))
            return std::nullopt;
        ranges.insert(ranges.end(), answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(got));
        if (all)
            return ranges;
        const LONGLONG next = answer[got - 1].FileOffset.QuadPart + answer[got - 1].Length.QuadPart;
        asked.FileOffset.QuadPart = next;
        asked.Length.QuadPart = size - next;
    }
}

bool MakeSparse(HANDLE file) {
    FILE_SET_SPARSE_BUFFER sparse{TRUE};
    DWORD returned = 0;
    return DeviceIoControl(file, FSCTL_SET_SPARSE, &sparse, sizeof sparse, nullptr, 0, &returned, nullptr);
}

bool MoveBoth(HANDLE from, HANDLE to, LONGLONG offset) {
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    return SetFilePointerEx(from, at, nullptr, FILE_BEGIN) && SetFilePointerEx(to, at, nullptr, FILE_BEGIN);
}

// Only the pieces that hold data, into a file made sparse, and then its size, so that the holes between and after
// them stay holes. No value where the pieces cannot be told or the copy cannot be made sparse: nothing is written.
std::optional<bool> CopySparse(HANDLE from, HANDLE to, LONGLONG size) {
    const auto ranges = AllocatedRanges(from, size);
    if (!ranges || !MakeSparse(to))
        return std::nullopt;
    std::vector<char> buffer(kBufferSize);
    for (const FILE_ALLOCATED_RANGE_BUFFER& range : *ranges) {
        if (!MoveBoth(from, to, range.FileOffset.QuadPart) ||
            !CopyThroughBuffer(from, to, buffer, range.Length.QuadPart))
            return false;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(to, FileEndOfFileInfo, &end, sizeof end) != 0;
}

} // namespace

bool CopyData(HANDLE from, HANDLE to, const BY_HANDLE_FILE_INFORMATION& source) {
    const LONGLONG size =
        static_cast<LONGLONG>((static_cast<ULONGLONG>(source.nFileSizeHigh) << 32) | source.nFileSizeLow);
    if ((source.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0 && KeepsSparseFiles(to)) {
        if (const std::optional<bool> copied = CopySparse(from, to, size))
            return *copied;
    }
    std::vector<char> buffer(kBufferSize);
    return CopyThroughBuffer(from, to, buffer, MAXLONGLONG);
}

} // namespace quillmere::platform::windows
