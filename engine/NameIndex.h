// SPDX-License-Identifier: GPL-3.0-or-later
// A side's listed files grouped by file name, so that the same-named files of the other side are found without
// comparing every path with every other. Made once per side and pass, and used by every step.
#pragma once

#include "fs/ListedFiles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quillmere {

class NameIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // files must outlive the index; their facts may change, their names may not.
    explicit NameIndex(const ListedFiles& files);
    explicit NameIndex(ListedFiles&&) = delete; // would leave the index pointing at dead files
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    const ListedFiles& Files() const { return files_; }

    bool Contains(std::string_view name) const { return First(name) != npos; }
    // The lowest index of a file named name, npos when there is none; Next gives the following ones, ascending.
    std::size_t First(std::string_view name) const;
    std::size_t Next(std::size_t index) const { return next_[index] == kEnd ? npos : next_[index]; }

    // Follows a change of the files that puts count files in place of those from first up to end (one folder's
    // block: the later files move by the difference): takes the old ones out, lets replace change the files, and
    // takes the new ones in. Costs the files replaced and their same-named ones; a change of the number moves
    // every later index. Should replace or the index fail, the index is left unusable.
    void Replace(std::size_t first, std::size_t end, std::size_t count, const std::function<void()>& replace);

private:
    static constexpr std::uint32_t kEnd = UINT32_MAX;
    static constexpr std::uint32_t kEmpty = 0;

    // The slot holding name, or the empty one where it would go.
    std::size_t SlotOf(std::string_view name) const;
    std::size_t HomeOf(std::string_view name) const;
    void Build();
    void Unlink(std::size_t index);
    void EmptySlot(std::size_t at);
    void Link(std::size_t index);
    void MoveIndexes(std::size_t from, std::size_t end, std::size_t count);

    const ListedFiles& files_;
    // One slot per distinct name, found by open addressing: a pass looks names up a million times, and a flat
    // table costs far fewer cache misses than a node per name. A slot holds the name's first index plus one (0:
    // empty); it is a power of two in size and at most half full, so probes stay short.
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> next_; // per file: the next index with the same name, kEnd after the last
};

} // namespace quillmere
