// SPDX-License-Identifier: GPL-3.0-or-later
// File times through the Windows file time: 100-nanosecond steps since 1601-01-01 00:00 UTC.
#include "platform/FileSystem.h"
#include "platform/TimeStepLearning.h"
#include "platform/TimeSteps.h"
#include "platform/windows/HandleFacts.h"
#include "platform/windows/VolumeTimes.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace quillmere::platform {

namespace {

constexpr std::uint64_t kStepsPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr auto kNanosecondsPerStep = static_cast<std::uint32_t>(kNtfsResolution);

std::int64_t ToSteps(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

} // namespace

std::optional<FileTime> ReadLastWriteTime(const std::string& path) {
    const auto wide = windows::ToWidePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!wide || wide->empty() || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return windows::FileTimeOfSteps(static_cast<std::uint64_t>(ToSteps(data.ftLastWriteTime)));
}

std::optional<FileFacts> ReadFileFacts(const std::string& path) {
    const auto wide = windows::ToWidePath(path);
    if (!wide || wide->empty())
        return std::nullopt;
    const windows::FileHandle file(CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() ? windows::FactsOfHandle(file.get()) : std::nullopt;
}

std::optional<FileFacts> windows::FactsOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandle(file, &info) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return std::nullopt;
    const auto steps = [](LARGE_INTEGER time) { return static_cast<std::uint64_t>(time.QuadPart); };
    return FileFacts{FileIdentity{info.dwVolumeSerialNumber,
                                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow},
                     (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     FileTimeOfSteps(static_cast<std::uint64_t>(ToSteps(info.ftLastWriteTime))),
                     FileTimeOfSteps(steps(basic.ChangeTime))};
}

std::optional<std::int64_t> LocalTimeOffsetSeconds() {
    // The offset FileTimeToLocalFileTime applies: the one in force now, the same for every file.
    FILETIME utc{};
    FILETIME local{};
    GetSystemTimeAsFileTime(&utc);
    if (!FileTimeToLocalFileTime(&utc, &local))
        return std::nullopt;
    return (ToSteps(local) - ToSteps(utc)) / 10'000'000;
}

// The step the volume's file system name tells, or the coarser one its copies have shown (keyed, as copies learn
// it, by the volume's serial number).
std::int64_t TimeResolution(const std::string& folder) {
    const auto wide = windows::ToWidePath(folder);
    std::array<wchar_t, MAX_PATH + 1> root{};
    std::array<wchar_t, MAX_PATH + 1> name{};
    DWORD serial = 0;
    if (!wide || wide->empty() || !GetVolumePathNameW(wide->c_str(), root.data(), static_cast<DWORD>(root.size())) ||
        !GetVolumeInformationW(root.data(), nullptr, 0, &serial, nullptr, nullptr, name.data(),
                               static_cast<DWORD>(name.size())))
        return windows::TimeResolutionOfFileSystem(L"");
    return std::max(windows::TimeResolutionOfFileSystem(name.data()), LearnedTimeStep(serial));
}

// Windows names its file systems truly enough, and every time it carries is a multiple of 100 ns: what copies
// show is learned, and no probe file is written.
std::int64_t MeasureTimeResolution(const std::string& folder) {
    return TimeResolution(folder);
}

namespace windows {

std::int64_t TimeResolutionOfFileSystem(std::wstring_view fileSystemName) {
    for (const wchar_t* fat : {L"FAT", L"FAT12", L"FAT16", L"FAT32"})
        if (EqualsIgnoringCase(fileSystemName, fat))
            return kFatResolution;
    if (EqualsIgnoringCase(fileSystemName, L"exFAT"))
        return kExfatResolution;
    return kNtfsResolution;
}

FileTime FileTimeOfSteps(std::uint64_t steps) {
    return FileTime{static_cast<std::int64_t>(steps / kStepsPerSecond) - kSecondsFrom1601To1970,
                    static_cast<std::uint32_t>(steps % kStepsPerSecond) * kNanosecondsPerStep};
}

} // namespace windows

} // namespace quillmere::platform
