// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PathsOnBothSides.h"

#include <string_view>
#include <unordered_map>

namespace quillmere {

namespace {

// Every folder a walk lists lies below its top folder, so two trees share paths only when one top folder holds
// the other.
bool TreesOverlap(const ListedFiles& files1, const ListedFiles& files2) {
    if (files1.FolderCount() == 0 || files2.FolderCount() == 0) {
        return false;
    }
    const std::string_view top1 = files1.FolderPath(0);
    const std::string_view top2 = files2.FolderPath(0);
    return top1.starts_with(top2) || top2.starts_with(top1);
}

} // namespace

PathsOnBothSides::PathsOnBothSides(const ListedFiles& files1, const ListedFiles& files2) {
    if (!TreesOverlap(files1, files2)) {
        return;
    }
    std::unordered_map<std::string_view, std::size_t> folders1;
    for (std::size_t folder = 0; folder < files1.FolderCount(); ++folder) {
        folders1.emplace(files1.FolderPath(folder), folder);
    }
    for (std::size_t folder2 = 0; folder2 < files2.FolderCount(); ++folder2) {
        const auto found = folders1.find(files2.FolderPath(folder2));
        if (found != folders1.end()) {
            MatchFolder(files1, found->second, files2, folder2);
        }
    }
}

void PathsOnBothSides::MatchFolder(const ListedFiles& files1, std::size_t folder1, const ListedFiles& files2,
                                   std::size_t folder2) {
    std::unordered_map<std::string_view, std::size_t> names1;
    for (std::size_t file = files1.FirstFileOf(folder1); file < files1.FirstFileOf(folder1 + 1); ++file) {
        names1.emplace(files1.NameOf(file), file);
    }
    for (std::size_t file2 = files2.FirstFileOf(folder2); file2 < files2.FirstFileOf(folder2 + 1); ++file2) {
        const auto found = names1.find(files2.NameOf(file2));
        if (found == names1.end()) {
            continue;
        }
        if (in2_.empty()) {
            in2_.assign(files1.Size(), kNone);
            in1_.assign(files2.Size(), kNone);
        }
        // ListedFiles keeps indexes below 2^32 - 1.
        in2_[found->second] = static_cast<std::uint32_t>(file2);
        in1_[file2] = static_cast<std::uint32_t>(found->second);
    }
}

} // namespace quillmere
