// SPDX-License-Identifier: GPL-3.0-or-later
// The files both sides list under one path: when one side's tree holds the other's, or both are one folder. A copy
// onto such a file changes what each side knows of it.
#pragma once

#include "fs/ListedFiles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillmere {

class PathsOnBothSides {
public:
    PathsOnBothSides(const ListedFiles& files1, const ListedFiles& files2);

    // The same file's index in the other side's listing, when it lists it.
    std::optional<std::size_t> In2(std::size_t index1) const { return Find(in2_, index1); }
    std::optional<std::size_t> In1(std::size_t index2) const { return Find(in1_, index2); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    static std::optional<std::size_t> Find(const std::vector<std::uint32_t>& links, std::size_t index) {
        return links.empty() || links[index] == kNone ? std::nullopt : std::optional<std::size_t>(links[index]);
    }
    void MatchFolder(const ListedFiles& files1, std::size_t folder1, const ListedFiles& files2, std::size_t folder2);

    // Left empty while no path is on both sides, which is the rule: then they cost nothing.
    std::vector<std::uint32_t> in1_; // per file of side 2
    std::vector<std::uint32_t> in2_; // per file of side 1
};

} // namespace quillmere
