// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk and the file listing a pass is built on.
#pragma once

#include "base/ErrorTrap.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// Folder paths, each ending in one separator.
using FolderList = std::vector<std::string>;

struct WalkControl {
    ErrorSink* errors = nullptr;          // trapped errors of the walk go here (none reported when null)
    std::function<bool()> stopRequested;  // checked once per folder; a stopped walk returns what it has
    std::function<void()> folderExamined; // called once per folder examined, for progress
    // Told of every folder the walk cannot read (missing, refused, broken off, beyond the system's limits) and of
    // every link it does not follow, with the cause in words: no folder is left out in silence.
    std::function<void(const std::string& path, const std::string& cause)> notRead;
};

// Appends to list every qualifying subfolder below its entries, breadth-first, the starting entries first.
// Folders whose subfolders cannot be listed (permission denied, path gone, reached only through a link the link
// rule does not follow) are removed from the list. The system's own limit on paths applies; on POSIX every folder
// name is taken as it is, on Windows names the program cannot handle are left out.
void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control = {});

// For each folder of a walked list, in the same order: the names GetFilesInFolder(folder) gives, read in the same
// look at the folder that found its subfolders. No value for a folder the walk returned without listing it (a
// starting entry it does not enter, say): the caller asks GetFilesInFolder for those.
using FolderFileNames = std::vector<std::optional<std::vector<std::string>>>;

// GetSubDirectories2016 that also keeps the files of the folders it lists, so that a pass reads each folder once.
void GetSubDirectoriesWithFiles(FolderList& list, FolderFileNames& files, bool recurse,
                                const WalkControl& control = {});

// Names (not paths) of the files in folder (with or without its trailing separator), hidden files included,
// folders excluded: every name, as the pattern "*.*" asks on Windows.
std::vector<std::string> GetFilesInFolder(const std::string& folder);

// True when a folder name holds a character the Windows walk refuses: a control character (below 32, 127,
// U+0080 to U+009F), "?", or bytes that are not valid UTF-8.
bool HasInvalidChars(std::string_view name);

// True when path names an existing file that can be opened.
bool IsExistingFile(const std::string& path);

} // namespace quillmere
