// SPDX-License-Identifier: GPL-3.0-or-later
// Passes between watched folders that cost what changed. Each keeps both listings for the next; the next re-reads
// only the folders the watch named since (and any folder it did not read before), takes every other folder as
// it was read, and compares only the names of files in the folders named, come or gone, and the names whose copies
// the pass before told (made, refused or failed). Its copies, Trash entries and failures are those a full pass
// would make at that moment, as long as the watch named every folder that changed.
#pragma once

#include "engine/NameSet.h"
#include "engine/Side.h"
#include "engine/SideListing.h"
#include "engine/modSync.h"
#include "fs/AddFolder.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillmere {

class WatchedPasses {
public:
    // Per side (0: Folder 1), the folders the watch named since the last pass, in the walk's form; no value when
    // that side's watch cannot be trusted, or the pass is the timed one: that side is then read in full.
    using Changes = std::array<std::optional<std::vector<std::string>>, 2>;

    WatchedPasses();
    ~WatchedPasses();
    WatchedPasses(const WatchedPasses&) = delete;
    WatchedPasses& operator=(const WatchedPasses&) = delete;

    // The first pass, and one whose job differs from the last one's, reads and compares everything.
    SyncCounts Run(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer, const Changes& changes);
    // The folders the last pass listed on a side, for the watch to follow: all of them after a pass that walked the
    // side, none after one that found the same folders as the pass before and only read the named ones again, and
    // none after a pass that did not end.
    std::vector<std::string> FoldersListed(std::size_t side) const;

private:
    // What the last walk read of a folder, beside the files its listing holds.
    struct FolderRead {
        std::vector<std::string> folders;
        std::vector<std::string> linksNotFollowed;
    };
    struct Tree {
        std::unique_ptr<Side> side;
        std::unordered_map<std::string, FolderRead> reads;
        std::unordered_map<std::string, FolderLook> looks;    // each folder's look, for the walk's rules
        std::unordered_map<std::string, std::size_t> numbers; // each listed folder's number in side->files
        std::vector<std::string> links; // the paths of the links the walk did not follow, in its order
        bool patchable = false;         // the walk told nothing else, and listed each folder once
    };
    // A folder the watch named, read again: its number in the listing, and the files that take part.
    struct Reread {
        std::size_t folder = 0;
        std::vector<std::string> names;
        std::vector<std::optional<platform::FileFacts>> facts;
    };
    class Reader;

    bool Matches(const SyncJob& job) const;
    const NamesToCompare* NamesAfterListing(const Side& side1, const Side& side2, const Changes& changes);
    void AddNamesOfFolder(const ListedFiles& files, std::size_t folder);
    void AddNamesOf(const Tree& before, const Side& now, const std::vector<std::string>& named);
    std::optional<std::pair<KeptSide, KeptSide>> Patched(const Changes& changes, FileOperations& operations);
    static std::optional<std::vector<Reread>> ReadAgain(const Tree& tree, const std::vector<std::string>& named,
                                                        FileOperations& operations);
    void Patch(Side& side, const Reread& reread);
    void Keep(std::unique_ptr<Side> side1, std::unique_ptr<Side> side2, bool complete, SyncDirection direction);

    std::optional<SyncJob> job_;
    std::array<Tree, 2> trees_;
    std::array<std::unique_ptr<Reader>, 2> readers_;
    NameSet told_;       // the names whose copies the last pass told
    int direction_ = -1; // the direction the last pass read, a SyncDirection's value
    NamesToCompare toCompare_;
    bool patched_ = false; // the last pass brought both listings up to date instead of walking them
};

} // namespace quillmere
