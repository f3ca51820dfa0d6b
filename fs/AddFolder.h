// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk and the file listing a pass is built on.
#pragma once

#include "base/ErrorTrap.h"
#include "fs/ListedFiles.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// Folder paths, each ending in one separator.
using FolderList = std::vector<std::string>;

// What the walk found when it looked at a folder: its attributes and its identity.
struct FolderLook {
    std::uint32_t attributes = 0;
    platform::FileIdentity identity;
    bool operator==(const FolderLook&) const = default;
};

// How the walk reads and looks at folders. A pass that knows which folders changed gives the others as it found
// them before; every member may be empty, and the walk then asks the system.
struct FolderReading {
    // Reads a folder the walk enters (its path ends in one separator); platform::ListFolderContents when empty. A
    // pass that knows which folders changed gives the others as it read them before.
    std::function<platform::FolderContents(const std::string& folder, const platform::ContentsWanted& wanted)>
        readFolder;
    // Asked right after readFolder of a folder whose files the walk keeps (folder ends in one separator): adds to
    // files the files that folder had when it was read before, and returns true, when readFolder gave it as it was
    // read then; false takes its files from what readFolder returned.
    std::function<bool(const std::string& folder, ListedFiles& files)> keptFiles;
    // The look the walk took at a folder (its path as the walk has it) before, when the folder has not changed
    // since; none makes the walk look again. looked is told of every look the walk takes.
    std::function<std::optional<FolderLook>(const std::string& path)> lookedBefore;
    std::function<void(const std::string& path, const FolderLook& look)> looked;
};

struct WalkControl {
    ErrorSink* errors = nullptr;          // trapped errors of the walk go here (none reported when null)
    std::function<bool()> stopRequested;  // checked once per folder; a stopped walk returns what it has
    std::function<void()> folderExamined; // called once per folder examined, for progress
    // Told of every folder the walk cannot read (missing, refused, broken off, beyond the system's limits) and of
    // every link it does not follow, with the cause in words: no folder is left out in silence.
    std::function<void(const std::string& path, const std::string& cause)> notRead;
    // Asked of each file the walk with files lists (folder ends in one separator); false leaves the file out.
    // Every callback here is called on the thread that runs the walk.
    std::function<bool(const std::string& folder, std::string_view name)> takesPart;
    FolderReading reading;
};

// Appends to list every qualifying subfolder below its entries, breadth-first, the starting entries first.
// Folders whose subfolders cannot be listed (permission denied, path gone, reached only through a link the link
// rule does not follow) are removed from the list. The system's own limit on paths applies; on POSIX every folder
// name is taken as it is, on Windows names the program cannot handle are left out.
void GetSubDirectories2016(FolderList& list, bool recurse, const WalkControl& control = {});

// GetSubDirectories2016 that also lists, in the same look at each folder, the files of every folder of the result
// with their facts: files then holds the folders of list, in the same order, each with the files GetFilesInFolder
// gives (less those control.takesPart leaves out). A starting folder the walk does not enter still has its files
// listed; a folder the walk returns without having read it (the walk was stopped, or a failure was reported)
// has none. Returns whether every starting folder was read: found a folder, kept in list, and its files listed
// as far as the walk could (a stop before the walk reached it, a missing or unreadable one, or files that could
// not be matched with their folders make it false).
[[nodiscard]] bool GetSubDirectoriesWithFiles(FolderList& list, ListedFiles& files, bool recurse,
                                              const WalkControl& control = {});

// Names (not paths) of the files in folder (with or without its trailing separator), hidden files included,
// folders excluded: every name, as the pattern "*.*" asks on Windows.
std::vector<std::string> GetFilesInFolder(const std::string& folder);

// True when a folder name holds a character the Windows walk refuses: a control character (below 32, 127,
// U+0080 to U+009F), "?", or bytes that are not valid UTF-8.
bool HasInvalidChars(std::string_view name);

// True when path names an existing file that can be opened.
bool IsExistingFile(const std::string& path);

// True when a name a listing of folder (ending in one separator) gave names a file that can be opened; asked of
// the system only where listings do not tell it already (platform::kListedFilesCanBeOpened).
bool IsOpenableListedFile(const std::string& folder, const std::string& name);

} // namespace quillmere
