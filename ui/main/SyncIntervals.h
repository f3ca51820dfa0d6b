// SPDX-License-Identifier: GPL-3.0-or-later
// The intervals the window's countdown offers and the countdown's text: the window's logic, which both views
// size their interval list from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere {

// The fifteen intervals the user chooses from, in list order.
struct SyncInterval {
    std::string_view caption;
    std::int32_t seconds;
};
const std::array<SyncInterval, 15>& SyncIntervals();

// Seconds of the interval whose caption is exactly selectedCaption; 0 when none is.
std::int32_t GetSyncIntervalSeconds(std::string_view selectedCaption);

// "hh:mm:ss" of a time of day: whole days are dropped, so 86400 gives "00:00:00".
std::string FormatSeconds(std::int32_t seconds);

} // namespace quillmere
