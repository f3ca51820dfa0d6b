#include "engine/NameIndex.h"

#include "fs/Main.h"

namespace quillmere {

NameIndex::NameIndex(const std::vector<std::string>& paths) : next_(paths.size(), npos) {
    first_.reserve(paths.size());
    // Walking backwards leaves each name's chain in ascending order.
    for (std::size_t index = paths.size(); index-- > 0;) {
        auto [slot, inserted] = first_.try_emplace(GetFileName(paths[index]), index);
        if (!inserted) {
            next_[index] = slot->second;
            slot->second = index;
        }
    }
}

std::size_t NameIndex::First(const std::string& name) const {
    const auto found = first_.find(name);
    return found == first_.end() ? npos : found->second;
}

} // namespace quillmere
