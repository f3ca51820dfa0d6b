// SPDX-License-Identifier: GPL-3.0-or-later
// What a batch of copies reads of a trash it keeps files in, once: the names its info/ holds, and what the
// .trashinfo files of the names a file may take say. Reading it first clears away what a killed pass left there
// under the program's temporary names (a .trashinfo being written, a copy being made).
#pragma once

#include "platform/posix/TrashInfo.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::platform::posix {

// One entry as its .trashinfo was read.
struct ListedEntry {
    std::string name;                      // in files/; the .trashinfo is info/ + name + ".trashinfo"
    std::optional<TrashInfoFields> fields; // no value: no Trash client can read it
    bool empty = false;                    // the .trashinfo holds nothing at all
    std::int64_t changed = 0;              // its last-write time, in seconds since 1970
};

class TrashScan {
public:
    explicit TrashScan(std::string trash);

    std::string InfoPath(const std::string& name) const;
    std::string KeptPath(const std::string& name) const;
    std::string InfoFolder() const { return trash_ + "/info"; }
    std::string FilesFolder() const { return trash_ + "/files"; }
    const std::string& Trash() const { return trash_; }

    // Whether info/ holds name's .trashinfo, as far as this batch has seen.
    bool Taken(const std::string& name) const { return names_.contains(name); }
    void Added(const std::string& name) { names_.insert(name); }
    void Removed(const std::string& name);
    // The entries whose names a file called fileName may have taken (IsCandidateTrashName), each read once.
    std::vector<const ListedEntry*> EntriesFor(std::string_view fileName);

    // The trash's file system refuses hard links (FAT): each .trashinfo is written in place.
    bool LinksRefused() const { return linksRefused_; }
    void RefuseLinks() { linksRefused_ = true; }

private:
    const ListedEntry& Read(const std::string& name);

    std::string trash_;
    std::set<std::string> names_;
    std::map<std::string, ListedEntry> read_;
    bool linksRefused_ = false;
};

// The scans of one batch, a trash each.
class TrashScans {
public:
    TrashScan& Of(const std::string& trash);

private:
    std::map<std::string, std::unique_ptr<TrashScan>> scans_;
};

} // namespace quillmere::platform::posix
