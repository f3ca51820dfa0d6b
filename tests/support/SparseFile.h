// SPDX-License-Identifier: GPL-3.0-or-later
// Sparse files for the tests of the copy: data in some places, holes in between, and a way to compare two files
// without reading them whole into memory.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::test {

struct SparseLayout {
    const char* what;
    std::int64_t size;
    std::vector<std::pair<std::int64_t, std::int64_t>> data; // offset and length of each piece that holds data
};

// The layouts worth copying for a file of size (at least 4 MiB): data between holes, data at both ends with a hole
// between, and nothing but a hole.
std::vector<SparseLayout> SparseLayouts(std::int64_t size);
// Writes path afresh: each piece filled with bytes that tell their place, the rest left as holes.
void MakeSparseFile(const std::string& path, const SparseLayout& layout);
bool SameContents(const std::string& a, const std::string& b);

} // namespace quillmere::test
