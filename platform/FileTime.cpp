// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileTime.h"

#include <limits>

namespace quillmere::platform {

namespace {

// Whole seconds as unsigned differences cannot overflow, whatever the two counts.
std::uint64_t SecondsFromTo(std::int64_t earlier, std::int64_t later) {
    return static_cast<std::uint64_t>(later) - static_cast<std::uint64_t>(earlier);
}

std::int64_t FloorToMultiple(std::int64_t value, std::int64_t multiple) {
    std::int64_t remainder = value % multiple;
    if (remainder < 0) {
        remainder += multiple;
    }
    return value - remainder;
}

} // namespace

std::uint64_t NanosecondsApart(FileTime a, FileTime b) {
    const FileTime& earlier = a < b ? a : b;
    const FileTime& later = a < b ? b : a;
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    constexpr auto kPerSecond = static_cast<std::uint64_t>(kNanosecondsPerSecond);
    const std::uint64_t seconds = SecondsFromTo(earlier.seconds, later.seconds);
    // later's nanoseconds may be fewer than earlier's: the second they borrow is in seconds, which is then >= 1.
    const std::uint64_t borrowed = earlier.nanoseconds > later.nanoseconds ? 1 : 0;
    const std::uint64_t nanoseconds =
        borrowed != 0 ? kPerSecond + later.nanoseconds - earlier.nanoseconds : later.nanoseconds - earlier.nanoseconds;
    const std::uint64_t wholeSeconds = seconds - borrowed;
    if (wholeSeconds > (kMost - nanoseconds) / kPerSecond) {
        return kMost;
    }
    return wholeSeconds * kPerSecond + nanoseconds;
}

FileTime TruncatedToStep(FileTime time, std::int64_t step) {
    if (step <= 1) {
        return time;
    }
    if (step % kNanosecondsPerSecond == 0) {
        const std::int64_t stepSeconds = step / kNanosecondsPerSecond;
        // The earliest seconds have no step below them: they stay as they are.
        if (time.seconds < std::numeric_limits<std::int64_t>::min() + stepSeconds) {
            return time;
        }
        return FileTime{FloorToMultiple(time.seconds, stepSeconds), 0};
    }
    if (kNanosecondsPerSecond % step == 0) {
        return FileTime{time.seconds, static_cast<std::uint32_t>(FloorToMultiple(time.nanoseconds, step))};
    }
    return time;
}

} // namespace quillmere::platform
