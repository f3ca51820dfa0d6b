// SPDX-License-Identifier: GPL-3.0-or-later
// One folder's files replaced, as a watched pass replaces them: the listing reads, and the name index answers, as
// ones made afresh.
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

// Facts drawn from the name, so that a file keeps its own wherever it moves; a name starting with "z" was gone.
std::optional<platform::FileFacts> FactsOf(const std::string& name) {
    if (name[0] == 'z') {
        return std::nullopt;
    }
    return platform::FileFacts{{name.size() % 2 == 0 ? 4U : 6U, name.size()}, 7, {name[0], 1}, {0, 0}};
}

ListedFiles ListingOf(const Folders& folders) {
    ListedFiles files;
    for (std::size_t folder = 0; folder < folders.size(); ++folder) {
        files.AddFolder("/t/" + std::to_string(folder) + "/");
        for (const std::string& name : folders[folder]) {
            files.AddFile(name, FactsOf(name));
        }
    }
    return files;
}

// Each folder's path and where its files start, and each file's path, folder and facts.
std::vector<std::string> Everything(const ListedFiles& files) {
    std::vector<std::string> lines;
    for (std::size_t folder = 0; folder <= files.FolderCount(); ++folder) {
        lines.push_back((folder < files.FolderCount() ? files.FolderPath(folder) : std::string("end")) + " from " +
                        std::to_string(files.FirstFileOf(folder)));
    }
    for (std::size_t file = 0; file < files.Size(); ++file) {
        const auto facts = files.FactsOf(file);
        lines.push_back(files.PathOf(file) + " in " + std::to_string(files.FolderOf(file)) + ": " +
                        (facts ? std::to_string(facts->identity.device) + "/" + std::to_string(facts->identity.inode) +
                                     "/" + std::to_string(facts->lastWriteTime.seconds)
                               : std::string("gone")));
    }
    return lines;
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

TEST(NameIndex, FolderReplacedIsListedAndIndexedAsIfListedAfresh) {
    // Same-named files in several folders, and a folder of many names of its own, so that names share slots.
    const Folders before{{"a", "b"}, {"a", "c", "zd"}, Numbered("own", 40), {"c", "a", "e"}, {}};
    const Replacement replacements[] = {
        {"the same names", 1, {"a", "c", "zd"}},
        {"a file renamed to a name of other folders, as long", 1, {"a", "e", "zd"}},
        {"a file renamed longer", 1, {"a", "cccccc", "zd"}},
        {"a file added whose name comes before and after", 1, {"a", "c", "b", "zd"}},
        {"the head of a name's files removed, in the first folder", 0, {"b"}},
        {"a name of its own removed", 1, {"a", "c"}},
        {"every name of a crowded folder removed", 2, {}},
        {"names added to the last folder, empty", 4, {"e", "a", "new"}},
        {"more names than the table takes", 4, Numbered("more", 100)},
    };
    for (const Replacement& replacement : replacements) {
        ListedFiles files = ListingOf(before);
        NameIndex index(files);
        Folders after = before;
        after[replacement.folder] = replacement.names;
        std::vector<std::optional<platform::FileFacts>> facts;
        for (const std::string& name : replacement.names) {
            facts.push_back(FactsOf(name));
        }
        index.Replace(files.FirstFileOf(replacement.folder), files.FirstFileOf(replacement.folder + 1),
                      replacement.names.size(),
                      [&] { files.ReplaceFilesOf(replacement.folder, replacement.names, facts); });
        std::set<std::string> names{"missing"};
        for (const Folders* folders : {&before, static_cast<const Folders*>(&after)}) {
            for (const auto& folder : *folders) {
                names.insert(folder.begin(), folder.end());
            }
        }
        const ListedFiles afresh = ListingOf(after);
        EXPECT_EQ(Everything(files), Everything(afresh)) << replacement.what;
        EXPECT_EQ(Chains(index, names), Chains(NameIndex(afresh), names)) << replacement.what;
    }
}

} // namespace
} // namespace quillmere
