// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's trash-cli, an independent reader of the freedesktop.org Trash, to check what the program keeps; and
// a private home trash for one test.
#pragma once

#include "tests/support/TempDir.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::test {

// Points XDG_DATA_HOME (and so the home trash) at a temporary folder of its own, or at the folder given, while it
// lives.
class PrivateHomeTrash {
public:
    PrivateHomeTrash();
    explicit PrivateHomeTrash(std::string dataHome);
    ~PrivateHomeTrash();
    PrivateHomeTrash(const PrivateHomeTrash&) = delete;
    PrivateHomeTrash& operator=(const PrivateHomeTrash&) = delete;

    // The home trash: $XDG_DATA_HOME/Trash.
    std::string Path() const { return dataHome_ + "/Trash"; }

private:
    void PointHere();

    std::unique_ptr<TempDir> own_;
    std::string dataHome_;
    std::optional<std::string> saved_;
};

// Why trash-cli cannot be used here; no value when it can.
std::optional<std::string> TrashCliSkipReason();

// trash-list's lines ("YYYY-MM-DD hh:mm:ss ORIGINAL-PATH"), every trash of every mount included.
std::string TrashList();

// What trash-list says on standard error ("Parse Error: ..." for each entry it cannot read): empty when it reads
// every entry.
std::string TrashListErrors();

// The deletion dates listing (trash-list's) shows for the file once at original, in its order.
std::vector<std::string> ListedDatesOf(const std::string& listing, const std::string& original);

// Restores the first trashed file whose original path starts with prefix (echo 0 | trash-restore prefix);
// false when trash-restore failed.
bool TrashRestoreFirst(const std::string& prefix);

// Checks each kept file with trash-cli: its path, once, in trash-list with a deletion date from `from` to `to`,
// and its old content back in place after trash-restore (the file now at the path is removed first:
// trash-restore puts nothing over an existing file). Empty when all holds, else what did not.
std::string CheckKeptAndRestore(const std::vector<std::pair<std::string, std::string>>& pathsAndOldContents,
                                const std::string& from, const std::string& to);

// The local time now as trash-list shows deletion dates, to bracket the dates a test expects.
std::string LocalTimeAsListed();

} // namespace quillmere::test
