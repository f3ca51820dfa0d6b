// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WatchRecords.h"

#include <algorithm>
#include <cstring>

namespace quillmere::platform {

namespace {

// NextEntryOffset, Action and FileNameLength, each a 32-bit number, before the name's UTF-16 letters.
constexpr std::size_t kRecordHead = 3 * sizeof(std::uint32_t);

std::uint32_t NumberAt(const char* at) {
    std::uint32_t number = 0;
    std::memcpy(&number, at, sizeof number);
    return number;
}

} // namespace

std::string FolderHolding(const std::string& entry) {
    const auto slash = entry.size() < 2 ? std::string::npos : entry.rfind('\\', entry.size() - 2);
    return slash == std::string::npos ? std::string() : entry.substr(0, slash + 1);
}

std::vector<NotifyRecord> ReadNotifyRecords(const char* buffer, std::size_t bytes) {
    std::vector<NotifyRecord> records;
    for (std::size_t at = 0; at + kRecordHead <= bytes;) {
        const std::uint32_t next = NumberAt(buffer + at);
        const std::uint32_t nameBytes = NumberAt(buffer + at + 2 * sizeof(std::uint32_t));
        if (nameBytes > bytes - at - kRecordHead) {
            break;
        }
        NotifyRecord record{NumberAt(buffer + at + sizeof(std::uint32_t)), std::u16string(nameBytes / 2, u'\0')};
        std::memcpy(record.name.data(), buffer + at + kRecordHead, record.name.size() * 2);
        records.push_back(std::move(record));
        if (next == 0) {
            break;
        }
        at += next;
    }
    return records;
}

SeenFolders::SeenFolders(std::string top) : top_(std::move(top)) {
    folders_.insert(top_);
}

void SeenFolders::Clear() {
    folders_ = {top_};
}

void SeenFolders::Saw(const std::string& folder) {
    folders_.insert(folder);
}

void SeenFolders::Forget(const std::string& folder) {
    auto first = folders_.lower_bound(folder);
    auto last = first;
    while (last != folders_.end() && last->starts_with(folder)) {
        ++last;
    }
    folders_.erase(first, last);
    folders_.insert(top_);
}

// A folder walked names everything below it: one below a walk already asked for adds nothing.
void SeenFolders::Walk(const std::string& folder, RecordsNamed& named) {
    const bool covered = std::any_of(named.walks.begin(), named.walks.end(),
                                     [&](const std::string& walk) { return folder.starts_with(walk); });
    if (!covered) {
        named.walks.push_back(folder);
    }
}

std::vector<std::string> SeenFolders::NamesOf(const std::string& entry) const {
    // Renames may chain (a folder renamed, then moved); each name is followed once.
    std::vector<std::string> names{entry};
    for (std::size_t next = 0; next < names.size() && names.size() <= renames_.size() + 1; ++next) {
        for (const auto& [from, to] : renames_) {
            const std::string& name = names[next];
            if (name.size() > from.size() && name.starts_with(from)) {
                std::string moved = to + name.substr(from.size());
                if (std::find(names.begin(), names.end(), moved) == names.end()) {
                    names.push_back(std::move(moved));
                }
            }
        }
    }
    return names;
}

// walked: the folders this batch asks to walk, and the entries that arrived in it. A walk marks what it finds as
// seen when it runs, right after the batch.
void SeenFolders::Take(const std::string& entry, EntryChange change, std::set<std::string>& walked,
                       RecordsNamed& named) {
    std::string holder = FolderHolding(entry);
    std::string unseen;
    while (holder.size() > top_.size() && !folders_.contains(holder) && !walked.contains(holder)) {
        unseen = holder;
        holder = FolderHolding(holder);
    }
    named.named.insert(holder);
    if (!unseen.empty()) {
        walked.insert(unseen);
        Walk(unseen, named);
    }
    if (change == EntryChange::Arrived || change == EntryChange::RenamedTo) {
        walked.insert(entry);
        Walk(entry, named);
    } else if (change == EntryChange::Left || change == EntryChange::RenamedFrom) {
        Forget(entry);
        walked.erase(entry);
    }
}

RecordsNamed SeenFolders::Take(const std::vector<EntryRecord>& records) {
    RecordsNamed named;
    std::set<std::string> walked;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const EntryRecord& record = records[i];
        if (record.change == EntryChange::RenamedTo && i > 0 && records[i - 1].change == EntryChange::RenamedFrom) {
            renames_.emplace_back(records[i - 1].entry, record.entry);
        }
        for (const std::string& name : NamesOf(record.entry)) {
            Take(name, record.change, walked, named);
        }
    }
    return named;
}

} // namespace quillmere::platform
