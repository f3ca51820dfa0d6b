// SPDX-License-Identifier: GPL-3.0-or-later
// How the two start-up check boxes are stored: the exact texts "On" and "Off".
#pragma once

#include <string_view>

namespace quillmere::startup {

inline constexpr std::string_view kOn = "On";
inline constexpr std::string_view kOff = "Off";

// The stored text for a box: "On" when ticked, else "Off".
constexpr std::string_view OnOffText(bool ticked) {
    return ticked ? kOn : kOff;
}

// A box is ticked only by exactly "On": "on", "ON" or " On" leave it clear.
constexpr bool IsOn(std::string_view stored) {
    return stored == kOn;
}

} // namespace quillmere::startup
