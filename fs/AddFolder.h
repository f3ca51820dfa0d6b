// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk and the file listing a pass is built on.
#pragma once

#include "engine/ErrorTrap.h"

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
};

// Appends to list every qualifying subfolder below its entries, breadth-first, the starting entries first.
// Folders whose subfolders cannot be listed (permission denied, path gone) are removed from the list.
void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control = {});

// For each folder of a walked list, in the same order: the names GetFilesInFolder(folder) gives, read in the same
// look at the folder that found its subfolders. No value for a folder the walk returned without listing it (a
// starting entry it does not enter, say): the caller asks GetFilesInFolder for those.
using FolderFileNames = std::vector<std::optional<std::vector<std::string>>>;

// GetSubDirectories2016 that also keeps the files of the folders it lists, so that a pass reads each folder once.
void GetSubDirectoriesWithFiles(FolderList& list, FolderFileNames& files, bool recurse,
                                const WalkControl& control = {});

// Names (not paths) of the files in folder (with or without its trailing separator), hidden files included,
// folders excluded; "*.*" is the only pattern in use and matches every name.
std::vector<std::string> GetFilesInFolder(const std::string& folder, std::string_view pattern = "*.*");

// True when a folder name holds a character the program refuses: a control character (below 32, 127,
// U+0080 to U+009F), "?", or bytes that are not valid UTF-8.
bool HasInvalidChars(std::string_view name);

// True when path names an existing file that can be opened.
bool IsExistingFile(const std::string& path);

} // namespace quillmere
