// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NameIndex.h"

#include <functional>

namespace quillmere {

NameIndex::NameIndex(const ListedFiles& files) : files_(files), next_(files.Size(), kEnd) {
    std::size_t size = 2;
    while (size < 2 * files.Size()) {
        size *= 2;
    }
    slots_.resize(size, kEmpty);
    // Walking backwards leaves each name's chain in ascending order. ListedFiles keeps indexes below 2^32 - 1.
    for (std::size_t index = files.Size(); index-- > 0;) {
        std::uint32_t& slot = slots_[SlotOf(files.NameOf(index))];
        next_[index] = slot == kEmpty ? kEnd : slot - 1;
        slot = static_cast<std::uint32_t>(index + 1);
    }
}

std::size_t NameIndex::First(std::string_view name) const {
    const std::uint32_t slot = slots_[SlotOf(name)];
    return slot == kEmpty ? npos : slot - 1;
}

std::size_t NameIndex::SlotOf(std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = std::hash<std::string_view>{}(name)&mask;; at = (at + 1) & mask) {
        const std::uint32_t slot = slots_[at];
        if (slot == kEmpty || files_.NameOf(slot - 1) == name) {
            return at;
        }
    }
}

} // namespace quillmere
