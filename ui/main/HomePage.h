// SPDX-License-Identifier: GPL-3.0-or-later
// Now and then the maker's home page: on one start in a hundred it opens in the user's web browser.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillmere {

// A random fraction r with 0 <= r < 1.
using RandomFraction = std::function<double()>;
// Hands an address to the system's opener; nothing waits for it and its outcome is not checked.
using UrlOpener = std::function<void(const std::string& address)>;

// Draws from a generator seeded with the local seconds since midnight, so each start draws afresh.
double TimeOfDayFraction();

// The number from 1 to 100 that a fraction stands for.
int StartNumber(double fraction);

// Opens the home page when the draw gives 7; a build without one opens nothing.
void MaybeShowHomePage(const RandomFraction& random, const UrlOpener& open, std::string_view homePage);

} // namespace quillmere
