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

// Nanoseconds since 1970 (the platform's unit) as file-time ticks since 1601; floor division keeps times
// before 1970 in order.
std::uint64_t FileTimeFromUnixNanoseconds(std::int64_t nanoseconds) {
    std::int64_t ticks = nanoseconds / 100;
    if (nanoseconds % 100 < 0) {
        --ticks;
    }
    return static_cast<std::uint64_t>(ticks + kTicksFrom1601To1970);
}

} // namespace

std::optional<double> GetFileLastModified(const std::string& path) {
    const std::optional<std::int64_t> written = platform::ReadLastWriteTime(path);
    if (!written) {
        return std::nullopt;
    }
    return FileTimeToLocalDate(FileTimeFromUnixNanoseconds(*written));
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
