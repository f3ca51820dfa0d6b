// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modLastModified.h"

#include "platform/FileSystem.h"

#include <limits>

namespace quillmere {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;   // file-time ticks are 100 ns
constexpr std::int64_t kTicksPerDay = 864'000'000'000; // 86,400 s
constexpr std::int64_t kDaysFrom1601To1899 = 109'205;  // 1601-01-01 to 1899-12-30
constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;

constexpr std::int64_t kSecondsFrom1601To1970 = kTicksFrom1601To1970 / kTicksPerSecond;

// A time as file-time ticks since 1601. A time before 1601 or beyond what 64 bits of ticks hold gives the
// largest count, which no local date can show.
std::uint64_t FileTimeTicksOf(platform::FileTime time) {
    constexpr std::int64_t kLatestSeconds = std::numeric_limits<std::int64_t>::max() / kTicksPerSecond - 1;
    if (time.seconds < -kSecondsFrom1601To1970 || time.seconds > kLatestSeconds - kSecondsFrom1601To1970) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return static_cast<std::uint64_t>((time.seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                                      time.nanoseconds / 100);
}

} // namespace

std::optional<double> GetFileLastModified(const std::string& path) {
    const std::optional<platform::FileTime> written = platform::ReadLastWriteTime(path);
    if (!written) {
        return std::nullopt;
    }
    return FileTimeToLocalDate(FileTimeTicksOf(*written));
}

double FileTimeToLocalDate(std::uint64_t fileTime) {
    const std::optional<std::int64_t> offset = platform::LocalTimeOffsetSeconds();
    // A file time is a signed 64-bit count to the system, so larger values cannot be converted.
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!offset || fileTime > kLargest) {
        return 0;
    }
    const auto utc = static_cast<std::int64_t>(fileTime);
    const std::int64_t shift = *offset * kTicksPerSecond;
    if ((shift > 0 && utc > std::numeric_limits<std::int64_t>::max() - shift) || utc + shift < 0) {
        return 0;
    }
    const std::int64_t local = utc + shift;
    // Whole days are subtracted as integers so that the fraction keeps the sub-second part.
    const std::int64_t days = local / kTicksPerDay - kDaysFrom1601To1899;
    const double fraction = static_cast<double>(local % kTicksPerDay) / static_cast<double>(kTicksPerDay);
    return static_cast<double>(days) + fraction;
}

} // namespace quillmere
