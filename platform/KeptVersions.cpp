// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KeptVersions.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

namespace quillmere::platform {

namespace {

constexpr std::int64_t kHour = std::int64_t{3600} * 1'000'000'000;
constexpr std::int64_t kDay = 24 * kHour;

} // namespace

std::vector<std::size_t> VersionsToLetGo(const std::vector<std::int64_t>& keptAt, std::int64_t now,
                                         const KeptVersionsBound& bound) {
    std::vector<std::size_t> newestFirst(keptAt.size());
    std::iota(newestFirst.begin(), newestFirst.end(), std::size_t{0});
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [&](std::size_t a, std::size_t b) { return keptAt[a] > keptAt[b]; });
    // The version kept now is the newest, of the ten and of its hour and day.
    std::unordered_set<std::int64_t> hoursSeen{now / kHour};
    std::unordered_set<std::int64_t> daysSeen{now / kDay};
    std::vector<std::size_t> letGo;
    for (std::size_t rank = 1; const std::size_t version : newestFirst) {
        const std::int64_t at = keptAt[version];
        const bool newestOfHour = hoursSeen.insert(at / kHour).second;
        const bool newestOfDay = daysSeen.insert(at / kDay).second;
        const bool kept = rank++ < static_cast<std::size_t>(bound.newest) ||
                          (newestOfHour && now - at < bound.hours * kHour) ||
                          (newestOfDay && now - at < bound.days * kDay);
        if (!kept) {
            letGo.push_back(version);
        }
    }
    std::sort(letGo.begin(), letGo.end());
    return letGo;
}

} // namespace quillmere::platform
