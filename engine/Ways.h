// SPDX-License-Identifier: GPL-3.0-or-later
// The two ways a copy can go between the folders, and the one rule of which of them a direction allows.
#pragma once

#include "engine/modSync.h"

#include <array>
#include <cstddef>

namespace quillmere {

enum class Way { Folder1ToFolder2, Folder2ToFolder1 };

// In the order a pass takes them.
inline constexpr std::array<Way, 2> kWays{Way::Folder1ToFolder2, Way::Folder2ToFolder1};

constexpr bool Allows(SyncDirection direction, Way way) {
    switch (direction) {
    case SyncDirection::BothWays:
        return true;
    case SyncDirection::Folder1ToFolder2:
        return way == Way::Folder1ToFolder2;
    case SyncDirection::Folder2ToFolder1:
        return way == Way::Folder2ToFolder1;
    case SyncDirection::None:
        return false;
    }
    return false;
}

// A value kept per direction and way it allows: the numbered statements of the error report, which tell in which
// direction a way was taken.
template <class Value> struct ByDirectionAndWay {
    SyncDirection direction;
    Way way;
    Value value;
};

// The value of direction and way in table; a default one when the table has none (the way is not allowed).
template <class Value, std::size_t Size>
constexpr Value Lookup(const std::array<ByDirectionAndWay<Value>, Size>& table, SyncDirection direction, Way way) {
    for (const ByDirectionAndWay<Value>& row : table) {
        if (row.direction == direction && row.way == way) {
            return row.value;
        }
    }
    return Value{};
}

} // namespace quillmere
