// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TrashScan.h"

#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <array>

namespace quillmere::platform::posix {

namespace {

// A .trashinfo holds a path and a date; more than this is none of the program's.
constexpr std::size_t kLongestInfo = 16 * 1024;

// The names in folder; the program's own temporary files among them are cleared away when no copy holds them.
std::vector<std::string> NamesClearingLeftovers(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) {
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (IsTemporaryName(name)) {
            (void)RemoveLeftoverTemporary(folder + "/" + name);
        } else if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    return names;
}

std::optional<std::string> ReadText(int fd) {
    std::string text;
    std::array<char, 4096> buffer{};
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) != 0;) {
        if (got < 0 || text.size() > kLongestInfo) {
            return std::nullopt;
        }
        text.append(buffer.data(), static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

TrashScan::TrashScan(std::string trash) : trash_(std::move(trash)) {
    for (const std::string& name : NamesClearingLeftovers(InfoFolder())) {
        if (name.ends_with(kTrashInfoSuffix)) {
            names_.insert(name.substr(0, name.size() - kTrashInfoSuffix.size()));
        }
    }
    (void)NamesClearingLeftovers(FilesFolder());
}

std::string TrashScan::InfoPath(const std::string& name) const {
    return InfoFolder() + "/" + name + std::string(kTrashInfoSuffix);
}

std::string TrashScan::KeptPath(const std::string& name) const {
    return FilesFolder() + "/" + name;
}

void TrashScan::Removed(const std::string& name) {
    names_.erase(name);
    read_.erase(name);
}

// Only the sorted names that start with the file's prefix are compared: a trash of many entries costs a lookup.
std::vector<const ListedEntry*> TrashScan::EntriesFor(std::string_view fileName) {
    const std::string prefix = TrashNamePrefix(fileName);
    std::vector<const ListedEntry*> entries;
    for (auto at = names_.lower_bound(prefix); at != names_.end() && at->starts_with(prefix); ++at) {
        if (IsCandidateTrashName(*at, fileName)) {
            entries.push_back(&Read(*at));
        }
    }
    return entries;
}

const ListedEntry& TrashScan::Read(const std::string& name) {
    if (const auto known = read_.find(name); known != read_.end()) {
        return known->second;
    }
    ListedEntry& entry = read_[name];
    entry.name = name;
    const UniqueFd info(::open(InfoPath(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat facts {};
    if (!info.Valid() || ::fstat(info.Get(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
        return entry;
    }
    entry.empty = facts.st_size == 0;
    entry.changed = facts.st_mtim.tv_sec;
    if (const std::optional<std::string> text = ReadText(info.Get())) {
        entry.fields = ParseTrashInfo(*text);
    }
    return entry;
}

TrashScan& TrashScans::Of(const std::string& trash) {
    std::unique_ptr<TrashScan>& scan = scans_[trash];
    if (!scan) {
        scan = std::make_unique<TrashScan>(trash);
    }
    return *scan;
}

} // namespace quillmere::platform::posix
