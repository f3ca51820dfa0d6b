// SPDX-License-Identifier: GPL-3.0-or-later
// A pass's file list with its paths grouped by file name, so that the same-named files of the other side are
// found without comparing every path with every other. Made once per side and pass, and used by every step.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class NameIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // paths must outlive the index.
    explicit NameIndex(const std::vector<std::string>& paths);
    explicit NameIndex(std::vector<std::string>&&) = delete; // would leave the index pointing at a dead list
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    const std::vector<std::string>& Paths() const { return paths_; }
    // The file name of Paths()[index]: the text after its last separator.
    std::string_view NameOf(std::size_t index) const { return names_[index]; }

    bool Contains(std::string_view name) const { return First(name) != npos; }
    // The lowest index of a path named name, npos when there is none; Next gives the following ones, ascending.
    std::size_t First(std::string_view name) const;
    std::size_t Next(std::size_t index) const { return next_[index]; }

private:
    // One slot per distinct name, found by open addressing: a pass looks names up hundreds of thousands of times,
    // and a flat table of hashes costs far fewer cache misses than a node per name.
    struct Slot {
        std::size_t hash = 0;
        std::size_t first = npos; // npos: the slot is empty
    };
    // The slot holding name, or the empty one where it would go.
    std::size_t SlotOf(std::string_view name, std::size_t hash) const;

    const std::vector<std::string>& paths_;
    std::vector<std::string_view> names_; // views into paths_
    std::vector<Slot> slots_;             // a power of two in size and at most half full, so probes stay short
    std::vector<std::size_t> next_;       // per path: the next index with the same name, npos after the last
};

} // namespace quillmere
