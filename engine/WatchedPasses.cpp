// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WatchedPasses.h"

#include "engine/PassHooks.h"
#include "fs/FolderWalk.h"
#include "fs/Main.h"

#include <unordered_set>
#include <utility>

namespace quillmere {

namespace {

using FolderNames = std::unordered_set<std::string>;

// The folder holding path (a folder's path in the walk's form, one separator after each name).
std::string ParentOf(const std::string& path) {
    const auto end = path.find_last_not_of(SeparatorOf(kNativePathStyle));
    const auto last =
        end == std::string::npos ? std::string::npos : path.find_last_of(SeparatorOf(kNativePathStyle), end);
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

bool WantsAll(const platform::ContentsWanted& wanted) {
    return wanted.folders && wanted.files && wanted.fileFacts;
}

} // namespace

// Reads the folders of one side's walk, on that side's thread: from the last pass's listing where the folder was
// read then and not named since, from the disk otherwise. Notes what it gave of each folder for the next pass.
class WatchedPasses::Reader {
public:
    // named: no value reads every folder from the disk.
    Reader(const Tree& before, std::optional<FolderNames> named) : before_(before), named_(std::move(named)) {}

    // Reads every folder from the disk: the listing before is no more.
    void ForgetBefore() { named_.reset(); }

    platform::FolderContents Read(const std::string& folder, const platform::ContentsWanted& wanted) {
        remembered_.reset();
        if (named_ && WantsAll(wanted) && !named_->contains(folder)) {
            const auto read = before_.reads.find(folder);
            const auto number = before_.numbers.find(folder);
            if (read != before_.reads.end() && number != before_.numbers.end()) {
                reads_[folder] = read->second;
                return Remembered(read->second, number->second);
            }
        }
        platform::FolderContents contents = platform::ListFolderContents(folder, wanted);
        if (contents.status == platform::ListingStatus::Ok && WantsAll(wanted)) {
            reads_[folder] = FolderRead{contents.folders, contents.linksNotFollowed};
        }
        return contents;
    }

    // The files of the folder Read gave last, when it gave them from the listing before.
    bool KeptFiles(const std::string& folder, ListedFiles& files) {
        const auto number = std::exchange(remembered_, std::nullopt);
        if (!number || before_.side->files.FolderPath(*number) != folder) {
            return false;
        }
        files.AddFilesOf(before_.side->files, *number);
        return true;
    }

    // The look the walk took at a folder the watch named neither itself nor its parent since: a change of a
    // folder's own attributes may be told as a change of the folder that holds it.
    std::optional<FolderLook> LookedBefore(const std::string& path) {
        if (!named_ || named_->contains(path) || named_->contains(ParentOf(path))) {
            return std::nullopt;
        }
        const auto look = before_.looks.find(path);
        if (look == before_.looks.end()) {
            return std::nullopt;
        }
        looks_.insert(*look);
        return look->second;
    }

    FolderReading Reading() {
        return FolderReading{
            [this](const std::string& folder, const platform::ContentsWanted& wanted) { return Read(folder, wanted); },
            [this](const std::string& folder, ListedFiles& files) { return KeptFiles(folder, files); },
            [this](const std::string& path) { return LookedBefore(path); },
            [this](const std::string& path, const FolderLook& look) { looks_.insert_or_assign(path, look); }};
    }

    std::unordered_map<std::string, FolderRead> TakeReads() { return std::exchange(reads_, {}); }
    std::unordered_map<std::string, FolderLook> TakeLooks() { return std::exchange(looks_, {}); }

private:
    // Where listed files are known to open, the walk takes the files of the folder as they are (KeptFiles);
    // elsewhere it looks at each again.
    platform::FolderContents Remembered(const FolderRead& read, std::size_t number) {
        const ListedFiles& files = before_.side->files;
        platform::FolderContents contents;
        contents.folders = read.folders;
        contents.linksNotFollowed = read.linksNotFollowed;
        if (platform::kListedFilesCanBeOpened) {
            remembered_ = number;
            return contents;
        }
        for (std::size_t file = files.FirstFileOf(number); file < files.FirstFileOf(number + 1); ++file) {
            contents.files.emplace_back(files.NameOf(file));
            contents.fileFacts.push_back(files.FactsOf(file));
        }
        return contents;
    }

    const Tree& before_;
    std::optional<FolderNames> named_;
    std::unordered_map<std::string, FolderRead> reads_;
    std::unordered_map<std::string, FolderLook> looks_;
    std::optional<std::size_t> remembered_; // the folder number in the listing before of the folder read last
};

WatchedPasses::WatchedPasses() = default;
WatchedPasses::~WatchedPasses() = default;

bool WatchedPasses::Matches(const SyncJob& job) const {
    return job_ && job_->folder1 == job.folder1 && job_->folder2 == job.folder2 &&
           job_->options.dryRun == job.options.dryRun && job_->options.keepReplaced == job.options.keepReplaced;
}

SyncCounts WatchedPasses::Run(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer,
                              const Changes& changes) {
    const bool known = Matches(job) && trees_[0].side && trees_[1].side;
    PassHooks hooks;
    for (std::size_t side = 0; side < 2; ++side) {
        std::optional<FolderNames> named;
        if (known && changes[side]) {
            named.emplace(changes[side]->begin(), changes[side]->end());
        }
        readers_[side] = std::make_unique<Reader>(trees_[side], std::move(named));
        hooks.readers[side] = readers_[side]->Reading();
    }
    NameSet told;
    hooks.told = &told;
    const bool limited = known && changes[0] && changes[1];
    patched_ = false;
    hooks.kept = [&](FileOperations& operations) { return limited ? Patched(changes, operations) : std::nullopt; };
    hooks.listed = [&](const Side& side1, const Side& side2) {
        return limited ? NamesAfterListing(side1, side2, changes) : nullptr;
    };
    bool ended = false;
    hooks.ended = [&](std::unique_ptr<Side> side1, std::unique_ptr<Side> side2, bool complete,
                      const PassContext& pass) {
        ended = true;
        told_ = std::move(told);
        Keep(std::move(side1), std::move(side2), complete, pass.FirstDirection());
    };
    job_ = job;
    const SyncCounts counts = RunSyncPass(job, settings, observer, hooks);
    if (!ended) {
        job_.reset(); // stopped, refused or not listed: the next pass starts afresh
    }
    readers_ = {};
    return counts;
}

// The names of files in every folder named, in the listing before and now, and in every folder only one of them
// holds; with the names the pass before told.
const NamesToCompare* WatchedPasses::NamesAfterListing(const Side& side1, const Side& side2, const Changes& changes) {
    if (patched_) {
        return &toCompare_; // gathered as the named folders were read again
    }
    if (!trees_[0].side || !trees_[1].side) {
        return nullptr; // the listings before are gone: everything is compared
    }
    toCompare_.names = told_;
    toCompare_.direction = direction_;
    AddNamesOf(trees_[0], side1, *changes[0]);
    AddNamesOf(trees_[1], side2, *changes[1]);
    return &toCompare_;
}

void WatchedPasses::AddNamesOfFolder(const ListedFiles& files, std::size_t folder) {
    for (std::size_t file = files.FirstFileOf(folder); file < files.FirstFileOf(folder + 1); ++file) {
        toCompare_.names.emplace(files.NameOf(file));
    }
}

void WatchedPasses::AddNamesOf(const Tree& before, const Side& now, const std::vector<std::string>& named) {
    const FolderNames namedSet(named.begin(), named.end());
    FolderNames listedNow;
    for (std::size_t folder = 0; folder < now.files.FolderCount(); ++folder) {
        const std::string& path = now.files.FolderPath(folder);
        listedNow.insert(path);
        const auto was = before.numbers.find(path);
        if (was == before.numbers.end() || namedSet.contains(path)) {
            AddNamesOfFolder(now.files, folder);
        }
        if (was != before.numbers.end() && namedSet.contains(path)) {
            AddNamesOfFolder(before.side->files, was->second);
        }
    }
    for (const auto& [path, number] : before.numbers) {
        if (!listedNow.contains(path)) {
            AddNamesOfFolder(before.side->files, number);
        }
    }
}

// The fast case of a watched pass: each folder named on either side was listed before, is still entered, and
// holds the same subfolders and links not followed as then. Then the walk would take every other folder as before,
// in the same place of its order, so that only the named folders' files change in the listings before.
std::optional<std::pair<KeptSide, KeptSide>> WatchedPasses::Patched(const Changes& changes,
                                                                    FileOperations& operations) {
    // Elsewhere the walk looks again at each listed file, of every folder.
    if (!platform::kListedFilesCanBeOpened) {
        return std::nullopt;
    }
    std::array<std::vector<Reread>, 2> rereads;
    for (std::size_t side = 0; side < 2; ++side) {
        auto reread = trees_[side].patchable ? ReadAgain(trees_[side], *changes[side], operations) : std::nullopt;
        if (!reread) {
            return std::nullopt;
        }
        rereads[side] = std::move(*reread);
    }
    toCompare_.names = told_;
    toCompare_.direction = direction_;
    try {
        for (std::size_t side = 0; side < 2; ++side) {
            for (const Reread& reread : rereads[side]) {
                Patch(*trees_[side].side, reread);
            }
        }
    } catch (...) {
        // A listing half brought up to date is none: both sides are walked afresh.
        for (std::size_t side = 0; side < 2; ++side) {
            readers_[side]->ForgetBefore();
            trees_[side].side.reset();
        }
        return std::nullopt;
    }
    patched_ = true;
    return std::pair{KeptSide{std::move(trees_[0].side), &trees_[0].links},
                     KeptSide{std::move(trees_[1].side), &trees_[1].links}};
}

std::optional<std::vector<WatchedPasses::Reread>>
WatchedPasses::ReadAgain(const Tree& tree, const std::vector<std::string>& named, FileOperations& operations) {
    const auto lookBefore = [&tree](const std::string& path) {
        const auto look = tree.looks.find(path);
        return look == tree.looks.end() ? nullptr : &look->second;
    };
    std::vector<Reread> rereads;
    for (const std::string& folder : FolderNames(named.begin(), named.end())) {
        const auto number = tree.numbers.find(folder);
        const auto read = tree.reads.find(folder);
        if (number == tree.numbers.end() || read == tree.reads.end() ||
            !LooksAsBefore(folder, read->second.folders, lookBefore)) {
            return std::nullopt;
        }
        platform::FolderContents contents;
        try {
            contents = platform::ListFolderContents(folder, {true, true, true});
        } catch (...) {
            return std::nullopt; // the walk tells why
        }
        if (contents.status != platform::ListingStatus::Ok || contents.folders != read->second.folders ||
            contents.linksNotFollowed != read->second.linksNotFollowed) {
            return std::nullopt;
        }
        Reread reread{number->second, {}, {}};
        for (std::size_t file = 0; file < contents.files.size(); ++file) {
            const std::string& name = contents.files[file];
            if (IsOpenableListedFile(folder, name) && TakesPart(folder, name, operations)) {
                reread.names.push_back(name);
                reread.facts.push_back(file < contents.fileFacts.size() ? contents.fileFacts[file] : std::nullopt);
            }
        }
        rereads.push_back(std::move(reread));
    }
    return rereads;
}

// The names the folder held and holds now are compared.
void WatchedPasses::Patch(Side& side, const Reread& reread) {
    ListedFiles& files = side.files;
    AddNamesOfFolder(files, reread.folder);
    side.names->Replace(files.FirstFileOf(reread.folder), files.FirstFileOf(reread.folder + 1), reread.names.size(),
                        [&] { files.ReplaceFilesOf(reread.folder, reread.names, reread.facts); });
    toCompare_.names.insert(reread.names.begin(), reread.names.end());
}

void WatchedPasses::Keep(std::unique_ptr<Side> side1, std::unique_ptr<Side> side2, bool complete,
                         SyncDirection direction) {
    std::array<std::unique_ptr<Side>, 2> sides{std::move(side1), std::move(side2)};
    for (std::size_t side = 0; side < 2; ++side) {
        if (patched_) {
            trees_[side].side = std::move(sides[side]); // its folders, reads and looks are those kept
            continue;
        }
        Tree tree;
        tree.reads = readers_[side]->TakeReads();
        tree.looks = readers_[side]->TakeLooks();
        const ListedFiles& files = sides[side]->files;
        for (std::size_t folder = 0; folder < files.FolderCount(); ++folder) {
            const std::string& path = files.FolderPath(folder);
            tree.numbers.emplace(path, folder);
            if (const auto read = tree.reads.find(path); read != tree.reads.end()) {
                for (const std::string& link : read->second.linksNotFollowed) {
                    tree.links.push_back(path + link);
                }
            }
        }
        // Every folder the walk read tells its links; anything more it told may change unseen.
        const WalkTally& walk = sides[side]->walk;
        tree.patchable = tree.numbers.size() == files.FolderCount() && walk.errors == 0 &&
                         walk.notRead == static_cast<std::int64_t>(tree.links.size());
        tree.side = std::move(sides[side]);
        trees_[side] = std::move(tree);
    }
    direction_ = static_cast<int>(direction);
    if (!complete) {
        job_.reset();
    }
}

std::vector<std::string> WatchedPasses::FoldersListed(std::size_t side) const {
    std::vector<std::string> folders;
    if (job_ && trees_[side].side && !patched_) {
        const ListedFiles& files = trees_[side].side->files;
        for (std::size_t folder = 0; folder < files.FolderCount(); ++folder) {
            folders.push_back(files.FolderPath(folder));
        }
    }
    return folders;
}

} // namespace quillmere
