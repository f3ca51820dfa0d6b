// SPDX-License-Identifier: GPL-3.0-or-later
// A file's time as file systems keep it: whole seconds since 1970-01-01 00:00 UTC and the nanoseconds within the
// second. Nanoseconds in 64 bits end in the year 2262, but ext4, btrfs and NTFS keep times long after it: two
// files dated 2300 and 2400 must still compare as different, and in the right order.
#pragma once

#include <compare>
#include <cstdint>

namespace quillmere::platform {

inline constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

struct FileTime {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0; // 0 to 999,999,999

    friend constexpr auto operator<=>(const FileTime&, const FileTime&) = default;

    // A time given as nanoseconds since 1970 (1677 to 2262), as simple callers and tests count.
    static constexpr FileTime FromNanoseconds(std::int64_t nanoseconds) {
        std::int64_t seconds = nanoseconds / kNanosecondsPerSecond;
        std::int64_t within = nanoseconds % kNanosecondsPerSecond;
        if (within < 0) {
            --seconds;
            within += kNanosecondsPerSecond;
        }
        return FileTime{seconds, static_cast<std::uint32_t>(within)};
    }
};

// How far apart two times are, in nanoseconds, whichever is later; the most 64 bits hold (584 years) for times
// further apart than that.
std::uint64_t NanosecondsApart(FileTime a, FileTime b);

// The time as a file system that keeps steps of step nanoseconds stores it: cut down to the step at or before
// it, counted from 1970. Steps below 1 ns, and steps that neither divide a second nor are whole seconds, are
// taken as exact.
FileTime TruncatedToStep(FileTime time, std::int64_t step);

} // namespace quillmere::platform
