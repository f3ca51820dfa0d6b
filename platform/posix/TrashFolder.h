// SPDX-License-Identifier: GPL-3.0-or-later
// Which freedesktop.org trash takes a file, and making its folders when they are missing.
#pragma once

#include <optional>
#include <string>

namespace quillmere::platform::posix {

struct TrashFolder {
    std::string path;             // the trash itself, holding files/ and info/
    std::string originalPath;     // the file's path as its .trashinfo names it
    bool onAnotherDevice = false; // the home trash, for a file on a drive whose own trash cannot be used
};

// The trash for the file at realFolder + "/" + name (realFolder without links, as realpath gives it): the home
// trash when it lies on that folder's device, else the mount's own; where the mount's own cannot be made or is
// not the user's (a share mounted for another user, a read-only top folder), the home trash after all. Missing
// folders are made with mode 700. No value when there is no usable trash; error then says why.
std::optional<TrashFolder> ChooseTrashFolder(const std::string& realFolder, const std::string& name,
                                             std::string& error);

// $XDG_DATA_HOME/Trash when XDG_DATA_HOME is absolute, else ~/.local/share/Trash; no value without a home.
std::optional<std::string> HomeTrashPath();

// what + ": " + the text of errno, for the messages of the trash.
std::string WithSystemReason(const std::string& what);

} // namespace quillmere::platform::posix
