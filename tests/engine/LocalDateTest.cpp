// SPDX-License-Identifier: GPL-3.0-or-later
// The local date-time value of file times.
#include "engine/modLastModified.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

constexpr std::uint64_t kTicksPerDay = 864'000'000'000;
constexpr std::uint64_t kTicksTo1899 = 109'205 * kTicksPerDay;

std::int64_t LocalOffsetTicks() {
    const std::optional<std::int64_t> offset = platform::LocalTimeOffsetSeconds();
    if (!offset) {
        throw std::runtime_error("no local time offset");
    }
    return *offset * 10'000'000;
}

TEST(FileTimeToLocalDate, CountsLocalDaysSince1899) {
    const std::uint64_t midnight1899 = kTicksTo1899 - static_cast<std::uint64_t>(LocalOffsetTicks());
    EXPECT_EQ(FileTimeToLocalDate(midnight1899), 0.0);
    EXPECT_DOUBLE_EQ(FileTimeToLocalDate(midnight1899 + kTicksPerDay + kTicksPerDay / 4), 1.25);
    // A file time the system cannot convert.
    EXPECT_EQ(FileTimeToLocalDate(std::numeric_limits<std::uint64_t>::max()), 0.0);
}

TEST(FileTimeToLocalDate, KeepsTheSubSecondPart) {
    const std::uint64_t now = 133'000'000'000'000'000;                      // a file time of 2022
    EXPECT_LT(FileTimeToLocalDate(now), FileTimeToLocalDate(now + 10'000)); // one millisecond later
    EXPECT_EQ(FileTimeToLocalDate(now), FileTimeToLocalDate(now));
}

} // namespace
} // namespace quillmere::test
