// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NameIndex.h"

#include "base/Splice.h"

#include <functional>

namespace quillmere {

NameIndex::NameIndex(const ListedFiles& files) : files_(files) {
    Build();
}

void NameIndex::Build() {
    std::size_t size = 2;
    while (size < 2 * files_.Size()) {
        size *= 2;
    }
    next_.assign(files_.Size(), kEnd);
    slots_.assign(size, kEmpty);
    // Walking backwards leaves each name's chain in ascending order. ListedFiles keeps indexes below 2^32 - 1.
    for (std::size_t index = files_.Size(); index-- > 0;) {
        std::uint32_t& slot = slots_[SlotOf(files_.NameOf(index))];
        next_[index] = slot == kEmpty ? kEnd : slot - 1;
        slot = static_cast<std::uint32_t>(index + 1);
    }
}

void NameIndex::Replace(std::size_t first, std::size_t end, std::size_t count, const std::function<void()>& replace) {
    for (std::size_t index = first; index < end; ++index) {
        Unlink(index);
    }
    replace();
    if (2 * files_.Size() > slots_.size()) {
        Build(); // the table would fill beyond half
        return;
    }
    MoveIndexes(first, end, count);
    for (std::size_t index = first; index < first + count; ++index) {
        Link(index);
    }
}

void NameIndex::Unlink(std::size_t index) {
    const std::size_t at = SlotOf(files_.NameOf(index));
    const std::uint32_t head = slots_[at] - 1;
    if (head == index) {
        if (next_[index] == kEnd) {
            EmptySlot(at);
        } else {
            slots_[at] = next_[index] + 1;
        }
        return;
    }
    std::uint32_t before = head;
    while (next_[before] != index) {
        before = next_[before];
    }
    next_[before] = next_[index];
}

// Linear probing keeps every name reachable from its home slot without a gap: the names after the emptied slot
// that would be cut off from their home move back into it.
void NameIndex::EmptySlot(std::size_t at) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t probe = (at + 1) & mask; slots_[probe] != kEmpty; probe = (probe + 1) & mask) {
        const std::size_t home = HomeOf(files_.NameOf(slots_[probe] - 1));
        // Whether home lies cyclically after the emptied slot, up to the probe: the name is reachable as it is.
        const bool reachable = at <= probe ? (at < home && home <= probe) : (at < home || home <= probe);
        if (!reachable) {
            slots_[at] = slots_[probe];
            at = probe;
        }
    }
    slots_[at] = kEmpty;
}

// Into its name's chain, which stays ascending.
void NameIndex::Link(std::size_t index) {
    std::uint32_t& slot = slots_[SlotOf(files_.NameOf(index))];
    const auto self = static_cast<std::uint32_t>(index);
    if (slot == kEmpty || self < slot - 1) {
        next_[index] = slot == kEmpty ? kEnd : slot - 1;
        slot = self + 1;
        return;
    }
    std::uint32_t before = slot - 1;
    while (next_[before] != kEnd && next_[before] < self) {
        before = next_[before];
    }
    next_[index] = next_[before];
    next_[before] = self;
}

// The indexes from end on become count - (end - from) higher; the block from..end, out of every chain, makes room
// for count unlinked ones.
void NameIndex::MoveIndexes(std::size_t from, std::size_t end, std::size_t count) {
    if (count != end - from) {
        // In 32-bit arithmetic, where adding the difference's two's complement takes it away. Without a branch:
        // empty slots lie at random in the table, and a test for them costs a misprediction every other slot.
        const auto moveBy = static_cast<std::uint32_t>(count - (end - from));
        const auto firstMoved = static_cast<std::uint32_t>(end);
        const auto ifMoved = [moveBy](bool moves) { return moveBy & (0U - static_cast<std::uint32_t>(moves)); };
        for (std::uint32_t& slot : slots_) {
            slot += ifMoved(slot > firstMoved); // an index plus one; an empty slot (0) never moves
        }
        for (std::uint32_t& next : next_) {
            next += ifMoved((next >= firstMoved) & (next != kEnd));
        }
    }
    Splice(next_, from, end, std::vector<std::uint32_t>(count, kEnd));
}

std::size_t NameIndex::First(std::string_view name) const {
    const std::uint32_t slot = slots_[SlotOf(name)];
    return slot == kEmpty ? npos : slot - 1;
}

std::size_t NameIndex::HomeOf(std::string_view name) const {
    return std::hash<std::string_view>{}(name) & (slots_.size() - 1);
}

std::size_t NameIndex::SlotOf(std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = HomeOf(name);; at = (at + 1) & mask) {
        const std::uint32_t slot = slots_[at];
        if (slot == kEmpty || files_.NameOf(slot - 1) == name) {
            return at;
        }
    }
}

} // namespace quillmere
