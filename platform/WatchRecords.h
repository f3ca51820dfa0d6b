// SPDX-License-Identifier: GPL-3.0-or-later
// What the Windows folder watch makes of the system's change records, in plain terms so that it can be tried on
// any system: the records laid out in ReadDirectoryChangesW's buffer, and the folders a batch of them names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::platform {

// One record as the system lays it out (FILE_NOTIFY_INFORMATION): what happened, and the entry's path below the
// watched folder.
struct NotifyRecord {
    std::uint32_t action = 0; // FILE_ACTION_*
    std::u16string name;
};

// The records in the first bytes of a buffer. A record ends with its name, unpadded when it is the last, so a
// buffer may end short of a whole record's declared size; one whose name runs past the end is left out, and all
// after it.
std::vector<NotifyRecord> ReadNotifyRecords(const char* buffer, std::size_t bytes);

// The folder holding entry (a Windows path ending in "\"), in the same form; none above a drive's root.
std::string FolderHolding(const std::string& entry);

// A rename is told as the entry leaving under its old name, then arriving under its new one.
enum class EntryChange { Arrived, Left, Changed, RenamedFrom, RenamedTo };

// A change told of an entry of a watched tree: its path in the walk's form followed by one "\" (as a folder
// would be), whether it is a file or a folder.
struct EntryRecord {
    std::string entry;
    EntryChange change = EntryChange::Changed;
};

// What a batch of records names: the folders to read again, and the folders to walk (each named with every
// folder below it), as a folder that appeared is.
struct RecordsNamed {
    std::set<std::string> named;
    std::vector<std::string> walks;
};

// The folders of one tree the watch has seen (its walks found them), the top always among them.
// A record names the folder holding the changed entry. A record from a folder the watch has not seen means the
// record of that folder's arrival was lost or never made (a burst, or a folder filled before the system watched
// it): the highest folder not seen on the way up is taken as having just arrived, so the folder above it is read
// again and it is walked. Otherwise a pass that takes that folder from its last listing never reaches the new one.
// A record from below a folder's old name is also taken as one from below its new name: Wine keeps telling of
// changes in a renamed folder under the name it had when it was first watched.
class SeenFolders {
public:
    explicit SeenFolders(std::string top);

    // Forgets every folder but the top, for a watch started afresh.
    void Clear();
    void Saw(const std::string& folder);

    // Each record in turn: an entry that left is forgotten with every folder below it.
    RecordsNamed Take(const std::vector<EntryRecord>& records);

private:
    void Take(const std::string& entry, EntryChange change, std::set<std::string>& walked, RecordsNamed& named);
    void Walk(const std::string& folder, RecordsNamed& named);
    void Forget(const std::string& folder);
    // The entry under every name a rename told may stand for, itself first.
    std::vector<std::string> NamesOf(const std::string& entry) const;

    std::string top_;
    std::set<std::string> folders_;
    std::vector<std::pair<std::string, std::string>> renames_; // old name, new name: folders' and files' alike
};

} // namespace quillmere::platform
