// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SyncIntervals.h"

#include <cstdio>

namespace quillmere {

const std::array<SyncInterval, 15>& SyncIntervals() {
    static constexpr std::array<SyncInterval, 15> kIntervals{{
        {"Sync every 5 seconds", 5},
        {"Sync every 10 seconds", 10},
        {"Sync every 30 seconds", 30},
        {"Sync every minute", 60},
        {"Sync every 5 minutes", 300},
        {"Sync every 10 minutes", 600},
        {"Sync every 15 minutes", 900},
        {"Sync every 20 minutes", 1200},
        {"Sync every 30 minutes", 1800},
        {"Sync every 1 hour", 3600},
        {"Sync every 2 hours", 7200},
        {"Sync every 4 hours", 14400},
        {"Sync every 8 hours", 28800},
        {"Sync every 16 hours", 57600},
        {"Sync every 24 hours", 86400},
    }};
    return kIntervals;
}

std::int32_t GetSyncIntervalSeconds(std::string_view selectedCaption) {
    for (const SyncInterval& interval : SyncIntervals()) {
        if (interval.caption == selectedCaption) {
            return interval.seconds;
        }
    }
    return 0;
}

std::string FormatSeconds(std::int32_t seconds) {
    constexpr std::int32_t kSecondsPerDay = 86400;
    const std::int32_t timeOfDay = (seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    char text[9];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", timeOfDay / 3600, timeOfDay / 60 % 60, timeOfDay % 60);
    return text;
}

} // namespace quillmere
