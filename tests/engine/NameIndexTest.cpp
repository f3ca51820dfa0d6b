// SPDX-License-Identifier: GPL-3.0-or-later
// A name index brought up to date as one folder's files are replaced answers as one made afresh.
#include "engine/NameIndex.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quillmere {
namespace {

using Folders = std::vector<std::vector<std::string>>; // each folder's file names, in listing order

std::vector<std::string> Numbered(const std::string& stem, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(stem + std::to_string(i));
    }
    return names;
}

ListedFiles ListingOf(const Folders& folders) {
    ListedFiles files;
    for (std::size_t folder = 0; folder < folders.size(); ++folder) {
        files.AddFolder("/t/" + std::to_string(folder) + "/");
        for (const std::string& name : folders[folder]) {
            files.AddFile(name, std::nullopt);
        }
    }
    return files;
}

// Every name's files, in the index's order, with a name listed nowhere.
std::vector<std::string> Chains(const NameIndex& index, const std::set<std::string>& names) {
    std::vector<std::string> chains;
    for (const std::string& name : names) {
        std::string chain = name + ":";
        for (std::size_t i = index.First(name); i != NameIndex::npos; i = index.Next(i)) {
            chain += " " + std::to_string(i);
        }
        chains.push_back(chain);
    }
    return chains;
}

struct Replacement {
    const char* what;
    std::size_t folder;
    std::vector<std::string> names;
};

TEST(NameIndex, FolderReplacedIsIndexedAsIfListedAfresh) {
    // Same-named files in several folders, and a folder of many names of its own, so that names share slots.
    const Folders before{{"a", "b"}, {"a", "c", "d"}, Numbered("own", 40), {"c", "a", "e"}, {}};
    const Replacement replacements[] = {
        {"the same names", 1, {"a", "c", "d"}},
        {"a file renamed to a name of other folders", 1, {"a", "e", "d"}},
        {"a file added whose name comes before and after", 1, {"a", "c", "b", "d"}},
        {"the head of a name's files removed", 0, {"b"}},
        {"a name of its own removed", 1, {"a", "c"}},
        {"every name of a crowded folder removed", 2, {}},
        {"names added to an empty folder", 4, {"e", "a", "new"}},
        {"more names than the table takes", 4, Numbered("more", 100)},
    };
    for (const Replacement& replacement : replacements) {
        ListedFiles files = ListingOf(before);
        NameIndex index(files);
        Folders after = before;
        after[replacement.folder] = replacement.names;
        const std::size_t first = files.FirstFileOf(replacement.folder);
        const std::size_t end = files.FirstFileOf(replacement.folder + 1);
        index.Replace(first, end, replacement.names.size(), [&] {
            files.ReplaceFilesOf(replacement.folder, replacement.names,
                                 std::vector<std::optional<platform::FileFacts>>(replacement.names.size()));
        });
        std::set<std::string> names{"missing"};
        for (const Folders* folders : {&before, static_cast<const Folders*>(&after)}) {
            for (const auto& folder : *folders) {
                names.insert(folder.begin(), folder.end());
            }
        }
        const ListedFiles afresh = ListingOf(after);
        EXPECT_EQ(Chains(index, names), Chains(NameIndex(afresh), names)) << replacement.what;
    }
}

} // namespace
} // namespace quillmere
