// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/InotifyTrees.h"

#include "platform/Trash.h"
#include "platform/WatchDoubts.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/RemoteFileSystems.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillmere::platform::posix {

namespace {

// What a pass must know of a folder: names coming and going, files written (also through a mapping, seen at the
// close), attributes and times, and the folder itself leaving.
constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB |
                                        IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;
// The folders above a top folder: only their leaving matters, as the top's path then leads elsewhere.
constexpr std::uint32_t kAboveEvents = IN_DELETE_SELF | IN_MOVE_SELF;
// A folder both above a top and in a tree (reached through a link) keeps the events of both.
constexpr std::uint32_t kWatchFlags = IN_ONLYDIR | IN_MASK_ADD;
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

std::string ParentOf(const std::string& folder) {
    const auto slash = folder.size() < 2 ? std::string::npos : folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string LastNameOf(const std::string& path) {
    const std::string bare = path.substr(0, path.find_last_not_of('/') + 1);
    return bare.substr(bare.rfind('/') + 1);
}

// A folder refused to inotify may still be readable (a security module can deny watching alone): only a folder
// the walk cannot read either may go unwatched.
bool CanBeRead(const std::string& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid();
}

} // namespace

InotifyTrees::InotifyTrees(int inotifyFd, const std::vector<std::string>& tops, std::function<void()> onNews)
    : fd_(inotifyFd), onNews_(std::move(onNews)) {
    for (const std::string& top : tops) {
        trees_.push_back(Tree{top, {}, {}, std::nullopt, 0, false});
    }
    if (const auto homeTrash = HomeTrashFolder()) {
        homeTrash_ = ReadFolderIdentity(*homeTrash);
        homeTrashName_ = LastNameOf(*homeTrash);
    }
}

void InotifyTrees::StartAfresh(std::size_t tree) {
    {
        const std::lock_guard lock(mutex_);
        Tree& forgotten = trees_[tree];
        while (!forgotten.watched.empty()) {
            Forget(tree, forgotten.watched.begin());
        }
        forgotten.changed.clear();
        forgotten.doubt.reset();
        forgotten.beyondLimit = 0;
        forgotten.limitReached = false;
        for (auto& [wd, trees] : above_) {
            std::erase(trees, tree);
            maybeUnused_.push_back(wd);
        }
        std::erase_if(above_, [](const auto& entry) { return entry.second.empty(); });
    }
    WatchAbove(tree);
    Walk(tree, trees_[tree].top, false);
    const std::lock_guard lock(mutex_);
    RemoveUnused();
    UpdateLimitWords(tree);
    CheckTopWatched(tree);
}

// Under the lock. Without a watch on the top folder nothing in it is seen, not even its coming back.
void InotifyTrees::CheckTopWatched(std::size_t tree) {
    const Tree& checked = trees_[tree];
    if (checked.watched.contains(checked.top) || checked.limitReached) {
        return;
    }
    const std::string problem = FolderProblem(checked.top);
    Doubt(tree, problem.empty() ? detail::FolderNotWatched(checked.top, SystemMessage(EACCES)) : detail::FolderGone());
}

void InotifyTrees::AddFolders(std::size_t tree, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        bool known = false;
        {
            const std::lock_guard lock(mutex_);
            known = trees_[tree].watched.contains(folder);
        }
        FileIdentity identity;
        if (!known) {
            WatchOne(tree, folder, nullptr, true, identity);
        }
    }
    const std::lock_guard lock(mutex_);
    RemoveUnused();
    UpdateLimitWords(tree);
}

// Best effort: a folder above that cannot be watched only leaves its renaming unseen.
void InotifyTrees::WatchAbove(std::size_t tree) {
    const std::string& top = trees_[tree].top;
    for (std::size_t slash = top.find('/'); slash != std::string::npos && slash + 1 < top.size();
         slash = top.find('/', slash + 1)) {
        const std::string above = top.substr(0, slash + 1);
        const std::lock_guard lock(mutex_);
        const int wd = ::inotify_add_watch(fd_, above.c_str(), kAboveEvents | kWatchFlags);
        if (wd >= 0 && std::find(above_[wd].begin(), above_[wd].end(), tree) == above_[wd].end()) {
            above_[wd].push_back(tree);
        }
    }
}

// Depth first, each folder watched before it is read: a folder made in it after the reading is told by its watch.
void InotifyTrees::Walk(std::size_t tree, const std::string& start, bool name) {
    struct Item {
        std::string folder;
        std::shared_ptr<const Chain> above;
    };
    std::vector<Item> stack{{start, ChainAbove(start, start == trees_[tree].top)}};
    while (!stack.empty() && !stopping_) {
        Item item = std::move(stack.back());
        stack.pop_back();
        FileIdentity identity;
        if (WatchOne(tree, item.folder, item.above.get(), name, identity) == Outcome::Skipped) {
            continue;
        }
        const auto inside = std::make_shared<const Chain>(Chain{identity, item.above});
        for (const std::string& sub : ListSubfolderNames(item.folder).names) {
            if (!IsLeftOut(item.folder, sub)) {
                stack.push_back({item.folder + sub + '/', inside});
            }
        }
    }
}

InotifyTrees::Outcome InotifyTrees::WatchOne(std::size_t tree, const std::string& folder, const Chain* above, bool name,
                                             FileIdentity& identity) {
    const auto found = ReadFolderIdentity(folder);
    if (!found) {
        return Outcome::Skipped; // gone meanwhile: its parent's watch tells
    }
    identity = *found;
    for (const Chain* link = above; link != nullptr; link = link->above.get()) {
        if (link->identity == identity) {
            return Outcome::Skipped; // a link back up, which the walk does not enter
        }
    }
    {
        const std::lock_guard lock(mutex_);
        Tree& watching = trees_[tree];
        if (watching.doubt && watching.doubt->kind != DoubtKind::WatchLimitReached) {
            return Outcome::Skipped; // listed in full anyway: no need to read further
        }
        if (watching.limitReached) {
            ++watching.beyondLimit;
            return Outcome::Counted;
        }
        // Watched and recorded under one lock, so that no other thread drops the watch in between as unused.
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), kFolderEvents | kWatchFlags);
        if (wd < 0) {
            return NoteFailure(tree, folder, errno);
        }
        const auto known = watching.watched.find(folder);
        if (known != watching.watched.end() && known->second == wd) {
            return Outcome::Skipped; // another walk came here first
        }
        Record(tree, folder, wd);
        if (name) {
            Name(tree, folder);
        }
    }
    CheckFileSystem(tree, folder);
    return Outcome::Watched;
}

// Under the lock.
InotifyTrees::Outcome InotifyTrees::NoteFailure(std::size_t tree, const std::string& folder, int error) {
    switch (error) {
    case ENOSPC:
        trees_[tree].limitReached = true;
        ++trees_[tree].beyondLimit;
        Doubt(tree, detail::WatchLimitReached(0, 0));
        UpdateLimitWords(tree); // and again as the walk counts on
        return Outcome::Counted;
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
        return Outcome::Skipped; // gone or replaced meanwhile: its parent's watch tells
    case EACCES:
    case EPERM:
        if (!CanBeRead(folder)) {
            return Outcome::Skipped; // not read by a pass either; its parent's watch tells when that changes
        }
        [[fallthrough]];
    default:
        Doubt(tree, detail::FolderNotWatched(folder, SystemMessage(error)));
        return Outcome::Skipped;
    }
}

void InotifyTrees::CheckFileSystem(std::size_t tree, const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) {
        return;
    }
    if (const auto kind = ChangesFromElsewhereOf(static_cast<std::uint64_t>(info.f_type))) {
        const std::lock_guard lock(mutex_);
        Doubt(tree, detail::ChangesFromElsewhere(*kind, folder == trees_[tree].top ? "" : folder));
    }
}

// The folders on the path above folder, as the walk sees them: a link in the tree back to any of them is not
// entered. A top folder that is itself a link to a folder above it is still watched, once.
std::shared_ptr<const InotifyTrees::Chain> InotifyTrees::ChainAbove(const std::string& folder, bool isTop) {
    std::shared_ptr<const Chain> chain;
    for (std::size_t slash = folder.find('/'); slash != std::string::npos && slash + 1 < folder.size();
         slash = folder.find('/', slash + 1)) {
        if (const auto identity = ReadFolderIdentity(folder.substr(0, slash + 1))) {
            chain = std::make_shared<const Chain>(Chain{*identity, chain});
        }
    }
    const auto self = isTop ? ReadFolderIdentity(folder) : std::nullopt;
    for (const Chain* link = chain.get(); self && link != nullptr; link = link->above.get()) {
        if (link->identity == *self) {
            return link->above;
        }
    }
    return chain;
}

bool InotifyTrees::IsLeftOut(const std::string& parent, std::string_view name) const {
    if (IsTrashOfDrive(parent, name)) {
        return true;
    }
    return homeTrash_ && name == homeTrashName_ && ReadFolderIdentity(parent + std::string(name)) == homeTrash_;
}

// A new entry that is not a folder may be a link the walk follows to one.
bool InotifyTrees::IsFolderToWalk(const ToWalk& entry) const {
    if (!entry.ifLinkedFolder) {
        return true;
    }
    const std::string bare = entry.folder.substr(0, entry.folder.size() - 1);
    struct stat own {};
    if (::lstat(bare.c_str(), &own) != 0 || !S_ISLNK(own.st_mode)) {
        return false;
    }
    const ReachedEntry target = ReachEntry(AT_FDCWD, bare);
    return target.reach.Ok() && target.info && S_ISDIR(target.info->st_mode);
}

void InotifyTrees::Apply(std::span<const char> events) {
    std::vector<ToWalk> walks;
    {
        const std::lock_guard lock(mutex_);
        for (std::size_t at = 0; at + sizeof(inotify_event) <= events.size();) {
            inotify_event header{};
            std::memcpy(&header, events.data() + at, sizeof header);
            const char* name = events.data() + at + sizeof header;
            const std::string_view entry = header.len == 0 ? std::string_view() : std::string_view(name);
            ApplyOne(header.wd, header.mask, entry, walks);
            at += sizeof header + header.len;
        }
    }
    for (const ToWalk& walk : walks) {
        if (IsFolderToWalk(walk)) {
            Walk(walk.tree, walk.folder, true);
        }
    }
    const std::lock_guard lock(mutex_);
    RemoveUnused();
    for (std::size_t tree = 0; tree < trees_.size(); ++tree) {
        UpdateLimitWords(tree);
    }
}

// Under the lock, as every Apply function.
void InotifyTrees::ApplyOne(int wd, std::uint32_t mask, std::string_view name, std::vector<ToWalk>& walks) {
    if (mask & IN_Q_OVERFLOW) {
        for (std::size_t tree = 0; tree < trees_.size(); ++tree) {
            Doubt(tree, detail::QueueOverflowed());
        }
        return;
    }
    ApplyAbove(wd, mask);
    const auto found = places_.find(wd);
    if (found == places_.end()) {
        return;
    }
    std::vector<std::pair<std::size_t, std::string>> places; // copied: applying changes them
    for (const Place& place : found->second) {
        places.emplace_back(place.tree, *place.folder);
    }
    for (const auto& [tree, folder] : places) {
        if (name.empty()) {
            ApplyToSelf(tree, folder, wd, mask, walks);
        } else {
            ApplyToEntry(tree, folder, mask, name, walks);
        }
    }
    if (mask & IN_IGNORED) {
        places_.erase(wd); // the system dropped the watch itself
    }
}

void InotifyTrees::ApplyAbove(int wd, std::uint32_t mask) {
    const auto found = above_.find(wd);
    if (found == above_.end() || !(mask & kGone)) {
        return;
    }
    for (const std::size_t tree : found->second) {
        Doubt(tree, detail::FolderGone());
    }
    if (mask & IN_IGNORED) {
        above_.erase(found);
    }
}

void InotifyTrees::ApplyToSelf(std::size_t tree, const std::string& folder, int wd, std::uint32_t mask,
                               std::vector<ToWalk>& walks) {
    Name(tree, folder);
    if (!(mask & kGone)) {
        return;
    }
    Tree& changed = trees_[tree];
    if (folder == changed.top) {
        Doubt(tree, detail::FolderGone());
    } else {
        Name(tree, ParentOf(folder));
    }
    const auto recorded = changed.watched.find(folder);
    if ((mask & IN_IGNORED) && recorded != changed.watched.end() && recorded->second == wd) {
        Forget(tree, recorded);
    }
    if (mask & IN_UNMOUNT) {
        walks.push_back({tree, folder, false}); // the folder below the mount shows there now
    }
}

void InotifyTrees::ApplyToEntry(std::size_t tree, const std::string& folder, std::uint32_t mask, std::string_view name,
                                std::vector<ToWalk>& walks) {
    Name(tree, folder);
    const std::string child = folder + std::string(name) + '/';
    if (mask & (IN_DELETE | IN_MOVED_FROM)) {
        ForgetBelow(tree, child);
    }
    if (!(mask & (IN_CREATE | IN_MOVED_TO | IN_ATTRIB)) || IsLeftOut(folder, name)) {
        return;
    }
    const bool isFolder = mask & IN_ISDIR;
    if (mask & (IN_CREATE | IN_MOVED_TO)) {
        if (isFolder) {
            Name(tree, child);
        }
        walks.push_back({tree, child, !isFolder});
    } else if (isFolder && !trees_[tree].watched.contains(child)) {
        walks.push_back({tree, child, false}); // perhaps readable now
    }
}

void InotifyTrees::Record(std::size_t tree, const std::string& folder, int wd) {
    auto& watched = trees_[tree].watched;
    const auto known = watched.find(folder);
    if (known != watched.end()) {
        Forget(tree, known);
    }
    const auto added = watched.emplace(folder, wd).first;
    places_[wd].push_back(Place{tree, &added->first});
}

void InotifyTrees::Forget(std::size_t tree, std::map<std::string, int>::iterator at) {
    const int wd = at->second;
    if (const auto found = places_.find(wd); found != places_.end()) {
        std::erase_if(found->second, [&](const Place& place) { return place.folder == &at->first; });
    }
    maybeUnused_.push_back(wd);
    trees_[tree].watched.erase(at);
}

void InotifyTrees::ForgetBelow(std::size_t tree, const std::string& folder) {
    auto& watched = trees_[tree].watched;
    for (auto at = watched.lower_bound(folder); at != watched.end() && at->first.starts_with(folder);) {
        Forget(tree, at++);
    }
}

// A watch kept for no folder still costs one of the system's watches, and tells of a folder elsewhere.
void InotifyTrees::RemoveUnused() {
    for (const int wd : maybeUnused_) {
        const auto found = places_.find(wd);
        const bool unused = found == places_.end() || found->second.empty();
        if (unused && !above_.contains(wd)) {
            ::inotify_rm_watch(fd_, wd);
            if (found != places_.end()) {
                places_.erase(found);
            }
        }
    }
    maybeUnused_.clear();
}

void InotifyTrees::Name(std::size_t tree, const std::string& folder) {
    Tree& changed = trees_[tree];
    if (folder.starts_with(changed.top) && changed.changed.insert(folder).second) {
        news_ = true;
        onNews_();
    }
}

void InotifyTrees::Doubt(std::size_t tree, const WatchDoubt& doubt) {
    if (!trees_[tree].doubt) {
        trees_[tree].doubt = doubt;
        news_ = true;
        onNews_();
    }
}

void InotifyTrees::UpdateLimitWords(std::size_t tree) {
    Tree& counted = trees_[tree];
    if (counted.limitReached && counted.doubt && counted.doubt->kind == DoubtKind::WatchLimitReached) {
        counted.doubt = detail::WatchLimitReached(counted.watched.size(), counted.watched.size() + counted.beyondLimit);
    }
}

void InotifyTrees::DoubtAll(const WatchDoubt& doubt) {
    const std::lock_guard lock(mutex_);
    for (std::size_t tree = 0; tree < trees_.size(); ++tree) {
        Doubt(tree, doubt);
    }
}

WatchNews InotifyTrees::TakeNews() {
    const std::lock_guard lock(mutex_);
    WatchNews news;
    for (Tree& tree : trees_) {
        news.trees.push_back(TreeNews{{tree.changed.begin(), tree.changed.end()}, tree.doubt});
        tree.changed.clear();
    }
    news_ = false;
    return news;
}

bool InotifyTrees::HasNews() const {
    const std::lock_guard lock(mutex_);
    return news_;
}

} // namespace quillmere::platform::posix
