// SPDX-License-Identifier: GPL-3.0-or-later
// One block of a vector given other items in place, as a folder's files are when it is read again.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quillmere {

// Puts with in place of the items of values from first up to end, moving the later ones only when the counts differ.
template <class Item>
void Splice(std::vector<Item>& values, std::size_t first, std::size_t end, const std::vector<Item>& with) {
    const std::size_t common = std::min(end - first, with.size());
    std::copy_n(with.begin(), common, values.begin() + static_cast<std::ptrdiff_t>(first));
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(first + common);
    if (with.size() > common) {
        values.insert(at, with.begin() + static_cast<std::ptrdiff_t>(common), with.end());
    } else {
        values.erase(at, values.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

} // namespace quillmere
