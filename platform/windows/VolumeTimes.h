// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows file-time arithmetic: how finely a file system named by GetVolumeInformationW keeps file times,
// and a file time in the program's unit.
#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <string_view>

namespace quillmere::platform::windows {

// Nanoseconds: FAT 2 s, exFAT 10 ms, NTFS and ReFS 100 ns. Any other name (network redirectors report what the
// server likes, Wine reports its own choice) gives 100 ns, the step of every Windows file time, so no two
// distinct times read through Windows are ever taken for the same.
std::int64_t TimeResolutionOfFileSystem(std::wstring_view fileSystemName);

// A file time (100 ns steps since 1601, as its two halves make it) in the program's unit. Every file time has
// its own value, from 1601 (a zero file time, as some tools leave) to the year 60056.
FileTime FileTimeOfSteps(std::uint64_t steps);

} // namespace quillmere::platform::windows
