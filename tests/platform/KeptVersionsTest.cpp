// SPDX-License-Identifier: GPL-3.0-or-later
// How many versions of one file the Trash keeps, for histories of replacements at different rates.
#include "platform/KeptVersions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillmere::platform {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000; // the times are in nanoseconds
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
// Noon UTC, so that the hours and days of a history do not start at a boundary.
constexpr std::int64_t kNow = 20'000 * kDay + 12 * kHour;

// A version kept every step, the newest one step before now, count of them.
std::vector<std::int64_t> EveryStep(std::int64_t step, std::size_t count) {
    std::vector<std::int64_t> keptAt;
    for (std::size_t i = 1; i <= count; ++i) {
        keptAt.push_back(kNow - static_cast<std::int64_t>(i) * step);
    }
    return keptAt;
}

std::vector<std::int64_t> Staying(const std::vector<std::int64_t>& keptAt) {
    const std::vector<std::size_t> letGo = VersionsToLetGo(keptAt, kNow);
    std::vector<std::int64_t> staying;
    for (std::size_t i = 0; i < keptAt.size(); ++i) {
        if (std::find(letGo.begin(), letGo.end(), i) == letGo.end()) {
            staying.push_back(keptAt[i]);
        }
    }
    return staying;
}

TEST(KeptVersions, HowManyStayOfAFileReplacedAtEachRate) {
    struct Case {
        const char* history;
        std::int64_t step;
        std::size_t versions;
        std::size_t staying; // besides the version kept now
    };
    const Case cases[] = {
        {"a few replacements keep all", kHour, 5, 5},
        {"nine older ones and the one kept now make the ten newest", 5 * kSecond, 9, 9},
        {"every 5 seconds for an hour: only the ten newest", 5 * kSecond, 700, 9},
        // Nine newest, then the newest of each of the 24 hours before now's (now's hour has the version kept now).
        {"every 5 seconds for two days: the hours of the last day, the days of the last month", 5 * kSecond, 34'560,
         9 + 23 + 1},
        {"every minute for two days", kMinute, 2'880, 9 + 23 + 1},
        {"every hour for two months: 24 hours, then a day each for a month", kHour, 1'440, 9 + 14 + 29},
        {"once a day for a year: a month of them", kDay, 365, 29},
        {"many within one second: still the ten newest", 1'000, 50, 9},
    };
    for (const Case& c : cases) {
        const std::vector<std::int64_t> keptAt = EveryStep(c.step, c.versions);
        EXPECT_EQ(Staying(keptAt).size(), c.staying) << c.history;
    }
}

TEST(KeptVersions, TheNewestStayWhateverTheOrderGiven) {
    std::vector<std::int64_t> keptAt = EveryStep(5 * kSecond, 40);
    std::reverse(keptAt.begin(), keptAt.end());
    std::rotate(keptAt.begin(), keptAt.begin() + 17, keptAt.end());
    std::vector<std::int64_t> staying = Staying(keptAt);
    std::sort(staying.rbegin(), staying.rend());
    EXPECT_EQ(staying, EveryStep(5 * kSecond, 9));
}

TEST(KeptVersions, NoHistoryKeepsMoreThanTheBound) {
    const KeptVersionsBound bound;
    const std::size_t most = static_cast<std::size_t>(bound.newest + bound.hours + bound.days);
    for (const std::int64_t step : {kSecond, 7 * kSecond, kMinute, 17 * kMinute, kHour, 5 * kHour}) {
        EXPECT_LE(Staying(EveryStep(step, 20'000)).size() + 1, most) << step;
    }
}

} // namespace
} // namespace quillmere::platform
