#include "engine/NameIndex.h"

#include "fs/Main.h"

namespace quillmere {

NameIndex::NameIndex(const std::vector<std::string>& paths) : paths_(paths), next_(paths.size(), npos) {
    names_.reserve(paths.size());
    for (const std::string& path : paths) {
        // The name is the end of the path, as long as GetFileName says; a view spares a copy per file.
        names_.push_back(std::string_view(path).substr(path.size() - GetFileName(path).size()));
    }
    first_.reserve(paths.size());
    // Walking backwards leaves each name's chain in ascending order.
    for (std::size_t index = paths.size(); index-- > 0;) {
        auto [slot, inserted] = first_.try_emplace(names_[index], index);
        if (!inserted) {
            next_[index] = slot->second;
            slot->second = index;
        }
    }
}

std::size_t NameIndex::First(std::string_view name) const {
    const auto found = first_.find(name);
    return found == first_.end() ? npos : found->second;
}

} // namespace quillmere
