// SPDX-License-Identifier: GPL-3.0-or-later
// How many versions of one file the Trash keeps of those this program put there: a file replaced on every pass (a
// log, a database) would otherwise fill it, at 17,280 entries a day for a pass every 5 seconds. Kept are the ten
// newest, and of the older ones the newest of each hour for the last day and the newest of each day for the last
// thirty days (hours and days counted in UTC): at most 64 versions of a file, however often it is replaced, while
// a file replaced a few times a day keeps every version for ten replacements and one a day for a month.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillmere::platform {

struct KeptVersionsBound {
    int newest = 10;
    int hours = 24;
    int days = 30;
};

// keptAt: when each version of one file was kept, in nanoseconds since 1970, in any order; a version is about to be
// kept now, and counts as the newest. The indices of the versions to let go, in the order given.
std::vector<std::size_t> VersionsToLetGo(const std::vector<std::int64_t>& keptAt, std::int64_t now,
                                         const KeptVersionsBound& bound = {});

} // namespace quillmere::platform
