// SPDX-License-Identifier: GPL-3.0-or-later
// The steps in which file systems keep last-write times, in nanoseconds: two times closer than the coarser step of
// two folders count as the same. One table for every system the program runs on.
#pragma once

#include <cstdint>

namespace quillmere::platform {

inline constexpr std::int64_t kExactResolution = 1;
inline constexpr std::int64_t kNtfsResolution = 100; // also the step of every Windows file time
inline constexpr std::int64_t kExfatResolution = 10'000'000;
inline constexpr std::int64_t kWholeSecondResolution = 1'000'000'000; // SFTP (sshfs) carries whole seconds
inline constexpr std::int64_t kFatResolution = 2'000'000'000;

} // namespace quillmere::platform
