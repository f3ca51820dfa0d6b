// SPDX-License-Identifier: GPL-3.0-or-later
// Time steps learned from what file systems do, not from their names: a time set on a file and read back tells the
// step its file system keeps (ntfs-3g reads as plain "fuse", ext4 made with 128-byte inodes keeps whole seconds
// like ext2, a network or cloud folder keeps what its server keeps). The table of TimeSteps.h is only the first
// guess. What is learned holds for the rest of the process, for every pass.
#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <optional>

namespace quillmere::platform {

// The step a file system showed when asked to keep the time asked and it kept the time kept: the finest step in
// use (1 ns, 10 ns, ... 1 s, 2 s) that is coarser than the difference and of which kept is a whole number. No
// value when kept is no such time (the file system put a time of its own on the file).
std::optional<std::int64_t> StepShownBy(FileTime asked, FileTime kept);

// What this process has learned of the file system known by key (a device and its mount, or a volume's serial
// number); 1 (exact) while nothing is known.
std::int64_t LearnedTimeStep(std::uint64_t fileSystem);
// Learns from one time set and read back; the step learned only ever grows. Safe from any thread.
void LearnTimeStep(std::uint64_t fileSystem, FileTime asked, FileTime kept);

// A time to set on a probe: an odd second and every digit of its nanoseconds set, so that each step from 10 ns
// to 2 s cuts something off it.
inline constexpr FileTime kProbeTime{1'600'000'001, 123'456'789};

} // namespace quillmere::platform
