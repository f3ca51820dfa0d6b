// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/KeptEntries.h"

#include "platform/CopyRules.h"
#include "platform/KeptVersions.h"
#include "platform/posix/StatFacts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace quillmere::platform::posix {

namespace {

// Longer than any writer takes between creating a .trashinfo and writing it, in seconds.
constexpr std::int64_t kEmptyInfoAge = 60;
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// The .trashinfo open and locked here; not valid while a running pass holds it.
UniqueFd LockedInfo(const std::string& path) {
    UniqueFd info(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const bool free = info.Valid() && (::flock(info.Get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK);
    return free ? std::move(info) : UniqueFd(); // a file system without locks has no running pass's entries to tell
}

// The file first, then its .trashinfo: a crash between leaves a .trashinfo without its file, which the next tidying
// removes, never a file no entry names.
void RemoveEntry(TrashScan& scan, std::string name) { // a copy: the scan forgets the entry holding it
    if (::unlink(scan.KeptPath(name).c_str()) == 0 || errno == ENOENT) {
        (void)::unlink(scan.InfoPath(name).c_str());
        scan.Removed(name);
    }
}

std::optional<struct stat> KeptFileOf(const TrashScan& scan, const std::string& name) {
    struct stat kept {};
    return ::lstat(scan.KeptPath(name).c_str(), &kept) == 0 ? std::optional(kept) : std::nullopt;
}

bool IsUnreadableDebris(const ListedEntry& entry, const TrashScan& scan, std::int64_t now) {
    return !entry.fields && entry.empty && now / kNanosecondsPerSecond - entry.changed > kEmptyInfoAge &&
           !KeptFileOf(scan, entry.name);
}

// A version kept by a link is the file itself; one kept by a copy (in the home trash for another drive, or through a
// bind mount: same device, another inode) shows the file's size and time, which is all a copy is ever judged by. Which
// of the two it must be is for the keeping to judge (TrashEntry::KeepByLink takes only the file itself where inode
// numbers hold).
bool HoldsVersionOf(const struct stat& kept, const struct stat& file) {
    return S_ISREG(kept.st_mode) && IsSameVersion(FactsOf(kept), FactsOf(file), StableFacts{.identity = false});
}

struct KeptBefore {
    std::string name;
    UniqueFd lock;
};

} // namespace

std::optional<TakenOver> TidyEntriesOf(TrashScan& scan, const std::string& originalPath, std::string_view name,
                                       const struct stat& file, std::int64_t now) {
    std::optional<TakenOver> takenOver;
    std::vector<KeptBefore> before;
    std::vector<std::int64_t> keptAt;
    for (const ListedEntry* entry : scan.EntriesFor(name)) {
        const bool ours = entry->fields && entry->fields->keptAt && entry->fields->path == originalPath;
        if (!ours && !IsUnreadableDebris(*entry, scan, now)) {
            continue;
        }
        UniqueFd lock = LockedInfo(scan.InfoPath(entry->name));
        const std::optional<struct stat> kept = lock.Valid() ? KeptFileOf(scan, entry->name) : std::nullopt;
        if (!lock.Valid() || (kept && !S_ISREG(kept->st_mode))) {
            continue;
        }
        if (!ours || !kept) {
            RemoveEntry(scan, entry->name);
        } else if (!takenOver && HoldsVersionOf(*kept, file)) {
            takenOver = TakenOver{entry->name, std::move(lock), IsSameFile(*kept, file)};
        } else {
            keptAt.push_back(*entry->fields->keptAt);
            before.push_back(KeptBefore{entry->name, std::move(lock)});
        }
    }
    for (const std::size_t index : VersionsToLetGo(keptAt, now)) {
        RemoveEntry(scan, before[index].name);
    }
    return takenOver;
}

} // namespace quillmere::platform::posix
