// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NameIndex.h"

#include "fs/Main.h"

#include <functional>

namespace quillmere {

namespace {

std::size_t HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

} // namespace

NameIndex::NameIndex(const std::vector<std::string>& paths) : paths_(paths), next_(paths.size(), npos) {
    names_.reserve(paths.size());
    for (const std::string& path : paths) {
        // The name is the end of the path, as long as GetFileName says; a view spares a copy per file.
        names_.push_back(std::string_view(path).substr(path.size() - GetFileName(path).size()));
    }
    std::size_t size = 2;
    while (size < 2 * paths.size()) {
        size *= 2;
    }
    slots_.resize(size);
    // Walking backwards leaves each name's chain in ascending order.
    for (std::size_t index = paths.size(); index-- > 0;) {
        const std::size_t hash = HashOf(names_[index]);
        Slot& slot = slots_[SlotOf(names_[index], hash)];
        next_[index] = slot.first;
        slot = Slot{hash, index};
    }
}

std::size_t NameIndex::First(std::string_view name) const {
    return slots_[SlotOf(name, HashOf(name))].first;
}

std::size_t NameIndex::SlotOf(std::string_view name, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.first == npos || (slot.hash == hash && names_[slot.first] == name)) {
            return at;
        }
    }
}

} // namespace quillmere
