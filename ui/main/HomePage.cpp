// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/HomePage.h"

#include <ctime>
#include <random>

namespace quillmere {

namespace {

constexpr int kChosenNumber = 7;
constexpr int kNumbers = 100;

int LocalSecondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec;
}

} // namespace

double TimeOfDayFraction() {
    std::mt19937 generator(static_cast<std::mt19937::result_type>(LocalSecondsSinceMidnight()));
    // 32 random bits over 2^32: never 1, unlike a floating-point distribution that may round up to it.
    return static_cast<double>(generator()) / 4294967296.0;
}

int StartNumber(double fraction) {
    return static_cast<int>(fraction * kNumbers) + 1;
}

void MaybeShowHomePage(const RandomFraction& random, const UrlOpener& open, std::string_view homePage) {
    if (!homePage.empty() && StartNumber(random()) == kChosenNumber) {
        open(std::string(homePage));
    }
}

} // namespace quillmere
