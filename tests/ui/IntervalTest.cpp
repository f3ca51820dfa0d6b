// SPDX-License-Identifier: GPL-3.0-or-later
// The interval table and the countdown text.
#include "ui/main/SyncIntervals.h"

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

TEST(SyncIntervals, CaptionsGiveTheirSeconds) {
    EXPECT_EQ(GetSyncIntervalSeconds("Sync every 5 seconds"), 5);
    EXPECT_EQ(GetSyncIntervalSeconds("Sync every minute"), 60);
    EXPECT_EQ(GetSyncIntervalSeconds("Sync every 24 hours"), 86400);
    EXPECT_EQ(GetSyncIntervalSeconds("sync every minute"), 0);
    EXPECT_EQ(GetSyncIntervalSeconds("Sync every minute "), 0);
    EXPECT_EQ(GetSyncIntervalSeconds(""), 0);
    // Every caption of the list finds its own row, in ascending order of seconds.
    std::int32_t previous = 0;
    for (const SyncInterval& interval : SyncIntervals()) {
        EXPECT_EQ(GetSyncIntervalSeconds(interval.caption), interval.seconds);
        EXPECT_GT(interval.seconds, previous);
        previous = interval.seconds;
    }
}

TEST(FormatSeconds, ShowsTheTimeOfDayAndDropsWholeDays) {
    EXPECT_EQ(FormatSeconds(0), "00:00:00");
    EXPECT_EQ(FormatSeconds(59), "00:00:59");
    EXPECT_EQ(FormatSeconds(3599), "00:59:59");
    EXPECT_EQ(FormatSeconds(86399), "23:59:59");
    EXPECT_EQ(FormatSeconds(86400), "00:00:00");
    EXPECT_EQ(FormatSeconds(90000), "01:00:00");
}

} // namespace
} // namespace quillmere::test
