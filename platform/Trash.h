// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a file that is about to be replaced in the desktop's trash, where the user can restore it: the
// freedesktop.org Trash on Linux and the other POSIX desktops, the Recycle Bin on Windows.
//
// The copy that replaces a destination uses it like this (POSIX):
//   TrashEntry kept(destination);                  // picks the trash, writes the .trashinfo exclusively
//   if (!kept.Reserved()) refuse, report kept.Error();
//   if (kept.KeepByLink() || (kept.NeedsCopy() && kept.KeepByCopy()))
//       { rename the temporary file over destination; }                         // destination never missing
//   else if (kept.KeepByMove()) { rename the temporary file to destination; }    // FAT: no hard links
//   else refuse, report kept.Error();
//   rename done ? kept.Confirm() : kept.Rollback();  // the destructor rolls back what was not confirmed
// Where the drive's own trash cannot be used (it belongs to another user, as every folder does on a share mounted
// for someone else; the top folder is read-only), the home trash takes the file, by a copy.
// On Windows only KeepByMove exists (the Recycle Bin takes a file from its place), and Failure() tells a drive
// without a Recycle Bin (NoTrash: replace anyway, say the old file could not be kept) from a failure (Failed).
#pragma once

#include "platform/FileSystem.h"

#include "platform/FileSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform {

#ifndef _WIN32
namespace posix {
class TrashScans;
}
#endif

enum class TrashFailure {
    None,
    NoTrash, // the drive keeps no Recycle Bin (Windows removable and network drives)
    Failed,  // the file could not be kept: Error() says why; do not replace it
};

class TrashEntry {
public:
    // Chooses the trash for file by the device of its folder and reserves a name there. On POSIX that is the
    // home trash ($XDG_DATA_HOME/Trash) for the home trash's device, else the mount's $topdir/.Trash/$uid where
    // that shared folder is valid, else $topdir/.Trash-$uid; missing folders are made with mode 700. The
    // .trashinfo is written first, with exclusive creation, so two writers never take the same name. Where the
    // mount's trash cannot be used, the home trash is chosen instead.
    explicit TrashEntry(const std::string& file);
#ifndef _WIN32
    // flushedByCaller: the .trashinfo is written without a flush of its own, because the caller flushes the whole
    // file system (syncfs) before it replaces the file. stable: the facts the file's file system keeps, by which
    // the kept file is told to be the one at its place. scans: what the caller's batch has read of the trashes,
    // shared by its entries so that each trash is read once a batch; none: the entry reads its own.
    //
    // Before it reserves a name, the entry sets the program's own earlier entries for the file in order (see
    // platform/posix/KeptEntries.h): what a killed pass left unfinished goes or is taken over, and versions beyond
    // the bound of platform/KeptVersions.h go. The .trashinfo appears whole and carries the program's key, and
    // stays locked for as long as the entry lives.
    TrashEntry(const std::string& file, bool flushedByCaller, StableFacts stable = {},
               posix::TrashScans* scans = nullptr);
#endif
    // Rolls back whatever was not confirmed.
    ~TrashEntry();
    TrashEntry(const TrashEntry&) = delete;
    TrashEntry& operator=(const TrashEntry&) = delete;

    // True when a name in the trash is reserved and the file may be kept.
    bool Reserved() const;
    TrashFailure Failure() const;
    // Why the last step failed, with the system's reason; empty when none did.
    const std::string& Error() const;

#ifndef _WIN32
    // Hard-links the file into the trash; the file stays at its place, ready to be replaced by a rename. When
    // the file system refuses hard links (FAT), KeepByMove may be tried next on the same entry; when the trash
    // lies on another device or mount, KeepByCopy. An entry a killed pass left holding the file as it is now
    // (linked or copied) is taken as the keeping, by this or by KeepByCopy.
    bool KeepByLink();
    // Whether the trash lies on another device or mount than the file (the home trash for a drive whose own
    // trash cannot be used, or a bind mount of the home trash's drive): only a copy reaches it.
    bool NeedsCopy() const;
    // Copies the file into the trash, with its times and permissions, flushed; the file stays at its place. A
    // file changed while it is copied is not kept.
    bool KeepByCopy();
    // Whether the trash holds the file whose facts are given (the one compared), whichever way it came there.
    bool Holds(const FileFacts& file) const;
    // Where the file is (or is to be) kept: the trash's files/ folder and the reserved name.
    const std::string& KeptPath() const;
#endif
    // Moves the file into the trash: its place is empty afterwards, ready for the new file. The file keeps its
    // last-write time, also where the file system stamps the time of a move on it (FAT through FUSE).
    bool KeepByMove();

    // The replacement was made: the trash keeps the old file for good.
    void Confirm();
    // The replacement was not made: the file is put back as it was and the trash entry removed. Whatever the
    // trash holds that is no longer at the file's place (the file was changed or replaced meanwhile) stays in
    // the trash, and the result is false: nothing is ever lost by a rollback.
    bool Rollback();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The names of the folders trashes live in at a drive's top: ".Trash" and ".Trash-" followed by a user's number
// (".Trash-1000"). A pass never looks inside one there, so old versions are never listed, matched or copied; a
// user's own ".Trash-notes", or a ".Trash" deeper in a tree, is an ordinary folder.
inline bool IsTrashFolderName(std::string_view name) {
    constexpr std::string_view kUserTrash = ".Trash-";
    if (name == ".Trash") {
        return true;
    }
    if (!name.starts_with(kUserTrash) || name.size() == kUserTrash.size()) {
        return false;
    }
    return name.substr(kUserTrash.size()).find_first_not_of("0123456789") == std::string_view::npos;
}

// A drive's trash: a folder of such a name in a file system's top folder. The parent is looked at only for names
// that look like a trash. The walk leaves these out, and so the folder watch does.
inline bool IsTrashOfDrive(const std::string& parent, std::string_view name) {
    return IsTrashFolderName(name) && IsRootFolder(parent);
}

// The home trash's folder ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash), which a synced tree may hold too; no
// value when none can be named, and on Windows, where the entering rule leaves the Recycle Bin's folders out.
std::optional<std::string> HomeTrashFolder();

} // namespace quillmere::platform
