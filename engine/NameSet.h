// SPDX-License-Identifier: GPL-3.0-or-later
// A set of file names looked up by string_view, so that a lookup copies no name.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quillmere {

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};
using NameSet = std::unordered_set<std::string, NameHash, std::equal_to<>>;

// The names a watched pass compares, and the direction they were gathered under: they stand for every name only
// while a pass reads that direction.
struct NamesToCompare {
    NameSet names;
    int direction = -1; // a SyncDirection's value
};

} // namespace quillmere
