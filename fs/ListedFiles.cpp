// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/ListedFiles.h"

#include "base/Splice.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace quillmere {

namespace {

// Offsets are kept in 32 bits, which is half the memory of a file's bookkeeping; four thousand million files or
// four gigabytes of names in one tree is a tree no pass can take.
std::uint32_t Narrow(std::size_t value) {
    if (value >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("Too many files in one folder tree");
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::size_t ListedFiles::AddFolder(std::string path) {
    folders_.push_back(Folder{std::move(path), Narrow(Size())});
    return folders_.size() - 1;
}

void ListedFiles::AddFile(std::string_view name, const std::optional<platform::FileFacts>& facts) {
    const std::uint32_t end = Narrow(names_.size() + name.size());
    const StoredFacts stored = Store(facts);
    const std::size_t start = names_.size();
    names_.append(name);
    // A failure leaves the file out whole, so that names and facts stay in step.
    try {
        nameEnds_.push_back(end);
        facts_.push_back(stored);
    } catch (...) {
        names_.resize(start);
        nameEnds_.resize(facts_.size());
        throw;
    }
}

void ListedFiles::AddFilesOf(const ListedFiles& from, std::size_t folder) {
    const std::size_t first = from.FirstFileOf(folder);
    const std::size_t end = from.FirstFileOf(folder + 1);
    if (first == end) {
        return;
    }
    const std::uint32_t source = from.NameStart(first);
    const std::size_t start = names_.size();
    const std::size_t count = facts_.size();
    const std::uint32_t shift = Narrow(start + from.nameEnds_[end - 1] - source) - from.nameEnds_[end - 1];
    // A failure leaves every file of the folder out, so that names and facts stay in step.
    try {
        names_.append(from.names_, source, from.nameEnds_[end - 1] - source);
        for (std::size_t file = first; file < end; ++file) {
            StoredFacts stored = from.facts_[file];
            if (stored.device != kNoFile) {
                stored.device = DeviceNumber(from.devices_[stored.device]);
            }
            nameEnds_.push_back(from.nameEnds_[file] + shift);
            facts_.push_back(stored);
        }
    } catch (...) {
        names_.resize(start);
        nameEnds_.resize(count);
        facts_.resize(count);
        throw;
    }
}

void ListedFiles::ReplaceFilesOf(std::size_t folder, const std::vector<std::string>& names,
                                 const std::vector<std::optional<platform::FileFacts>>& facts) {
    if (folder >= folders_.size() || names.size() != facts.size()) {
        throw std::invalid_argument("Every file put in a listed folder needs its facts");
    }
    const std::size_t first = FirstFileOf(folder);
    const std::size_t end = FirstFileOf(folder + 1);
    const std::uint32_t start = NameStart(first);
    const std::uint32_t oldEnd = end == first ? start : nameEnds_[end - 1];
    std::string text;
    std::vector<StoredFacts> stored;
    std::vector<std::uint32_t> ends;
    stored.reserve(names.size());
    ends.reserve(names.size());
    for (std::size_t file = 0; file < names.size(); ++file) {
        text.append(names[file]);
        stored.push_back(Store(facts[file]));
        ends.push_back(static_cast<std::uint32_t>(start + text.size()));
    }
    // Everything that can fail comes before the first name moves.
    Narrow(names_.size() - (oldEnd - start) + text.size());
    Narrow(Size() - (end - first) + names.size());
    const auto shiftBy = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldEnd - start);
    names_.replace(start, oldEnd - start, text);
    if (shiftBy != 0) {
        for (std::size_t file = end; file < nameEnds_.size(); ++file) {
            nameEnds_[file] = static_cast<std::uint32_t>(nameEnds_[file] + shiftBy);
        }
    }
    Splice(nameEnds_, first, end, ends);
    Splice(facts_, first, end, stored);
    const auto moveBy = static_cast<std::int64_t>(names.size()) - static_cast<std::int64_t>(end - first);
    for (std::size_t later = folder + 1; moveBy != 0 && later < folders_.size(); ++later) {
        folders_[later].firstFile = static_cast<std::uint32_t>(folders_[later].firstFile + moveBy);
    }
}

std::size_t ListedFiles::FirstFileOf(std::size_t folder) const {
    return folder < folders_.size() ? folders_[folder].firstFile : Size();
}

std::size_t ListedFiles::FolderOf(std::size_t file) const {
    // The last folder that starts at or before file: empty folders before it start at the same file.
    const auto after = std::upper_bound(folders_.begin(), folders_.end(), file,
                                        [](std::size_t at, const Folder& folder) { return at < folder.firstFile; });
    return static_cast<std::size_t>(after - folders_.begin()) - 1;
}

std::string ListedFiles::PathOf(std::size_t file) const {
    const std::string& folder = folders_[FolderOf(file)].path;
    const std::string_view name = NameOf(file);
    std::string path;
    path.reserve(folder.size() + name.size());
    path.append(folder).append(name);
    return path;
}

std::optional<platform::FileFacts> ListedFiles::FactsOf(std::size_t file) const {
    const StoredFacts& stored = facts_[file];
    if (stored.device == kNoFile) {
        return std::nullopt;
    }
    return platform::FileFacts{platform::FileIdentity{devices_[stored.device], stored.inode}, stored.size,
                               platform::FileTime{stored.writeSeconds, stored.writeNanoseconds},
                               platform::FileTime{stored.changeSeconds, stored.changeNanoseconds}};
}

ListedFiles::StoredFacts ListedFiles::Store(const std::optional<platform::FileFacts>& facts) {
    if (!facts) {
        return StoredFacts{0, 0, 0, 0, 0, 0, kNoFile};
    }
    return StoredFacts{facts->lastWriteTime.seconds,
                       facts->changeTime.seconds,
                       facts->size,
                       facts->identity.inode,
                       facts->lastWriteTime.nanoseconds,
                       facts->changeTime.nanoseconds,
                       DeviceNumber(facts->identity.device)};
}

// A tree lies on one device or a few, so the list stays short; the last one found is asked first.
std::uint32_t ListedFiles::DeviceNumber(std::uint64_t device) {
    if (!facts_.empty() && facts_.back().device != kNoFile && devices_[facts_.back().device] == device) {
        return facts_.back().device;
    }
    const auto found = std::find(devices_.begin(), devices_.end(), device);
    if (found != devices_.end()) {
        return static_cast<std::uint32_t>(found - devices_.begin());
    }
    const std::uint32_t number = Narrow(devices_.size());
    devices_.push_back(device);
    return number;
}

void ListedFiles::KeepFolders(const std::vector<std::string>& paths,
                              const std::vector<std::optional<std::size_t>>& added) {
    if (added.size() != paths.size()) {
        throw std::invalid_argument("Every kept folder needs its place in the listing");
    }
    // Everything that can fail comes before the first file moves.
    std::vector<Folder> kept;
    kept.reserve(paths.size());
    std::optional<std::size_t> previous;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        if (added[k] && ((previous && *added[k] <= *previous) || *added[k] >= folders_.size())) {
            throw std::invalid_argument("Kept folders must come in the order they were added");
        }
        previous = added[k] ? added[k] : previous;
        kept.push_back(Folder{paths[k], 0});
    }
    std::size_t to = 0;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        kept[k].firstFile = static_cast<std::uint32_t>(to);
        if (added[k]) {
            const std::size_t from = FirstFileOf(*added[k]);
            const std::size_t end = FirstFileOf(*added[k] + 1);
            MoveFilesDown(from, end, to);
            to += end - from;
        }
    }
    names_.resize(NameStart(to));
    nameEnds_.resize(to);
    facts_.resize(to);
    folders_ = std::move(kept);
}

// Files before to are final, those from to up to from are dropped: the kept ones close the gap.
void ListedFiles::MoveFilesDown(std::size_t from, std::size_t end, std::size_t to) {
    if (from == to || from == end) {
        return;
    }
    const std::uint32_t source = NameStart(from);
    const std::uint32_t target = NameStart(to);
    std::memmove(names_.data() + target, names_.data() + source, nameEnds_[end - 1] - source);
    for (std::size_t file = from; file < end; ++file) {
        nameEnds_[to + file - from] = nameEnds_[file] - (source - target);
        facts_[to + file - from] = facts_[file];
    }
}

} // namespace quillmere
