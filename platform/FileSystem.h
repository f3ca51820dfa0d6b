// SPDX-License-Identifier: GPL-3.0-or-later
// The file services the file helpers and the engine stand on. One header, two implementations:
// platform/posix/ (Linux and the other POSIX systems) and platform/windows/ (Win32).
// Paths are UTF-8 text in the native form; no function here throws.
#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmere::platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Attribute bits, in the values Windows gives them. On POSIX a name starting with "." is Hidden, a symbolic
// link is Alias, a file whose permission bits grant no write is ReadOnly, and nothing is System.
namespace attr {
inline constexpr std::uint32_t ReadOnly = 1;
inline constexpr std::uint32_t Hidden = 2;
inline constexpr std::uint32_t System = 4;
inline constexpr std::uint32_t Directory = 16;
inline constexpr std::uint32_t Archive = 32;
inline constexpr std::uint32_t Alias = 1024;
} // namespace attr

// No value when the path does not exist or cannot be examined.
std::optional<std::uint32_t> ReadAttributes(const std::string& path);

// True for the root folder of a drive or file system ("C:\", "\\server\share\", "/").
bool IsRootFolder(const std::string& folder);

// Identity of a file or folder: the same one, whatever path leads to it. The walk uses it to notice a link that
// leads back to a folder already above it.
struct FileIdentity {
    std::uint64_t device = 0; // the volume's serial number on Windows
    std::uint64_t inode = 0;  // the file index on Windows
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> ReadFolderIdentity(const std::string& folder);

// Where a folder lies: its own identity, and those of every folder above it on each path that reaches it once
// links are resolved (a folder a bind mount shows elsewhere has the folders above its source too). Two folders
// lie inside each other exactly when one's identity is among the other's folders above (see fs/FolderNesting.h).
struct FolderLineage {
    FileIdentity self;
    std::vector<FileIdentity> above;
};
// No value when folder is no folder that can be examined.
std::optional<FolderLineage> ReadFolderLineage(const std::string& folder);

// What one look at a file tells, enough to know later whether it is still the same file, unchanged.
struct FileFacts {
    FileIdentity identity;
    std::uint64_t size = 0;
    FileTime lastWriteTime;
    FileTime changeTime; // when its data or attributes last changed, however that was done
    bool operator==(const FileFacts&) const = default;
};
// Links followed; no value when nothing is at path.
std::optional<FileFacts> ReadFileFacts(const std::string& path);

// Which facts of a file its file system keeps while the file stays the same. Size and last-write time always; the
// identity (the inode number) only where it survives a look by name, a hard link and a rename: sshfs gives each
// new name a number of its own, rclone derives the number from the path.
struct StableFacts {
    bool identity = true;
    bool operator==(const StableFacts&) const = default;
};

enum class ListingStatus { Ok, PermissionDenied, PathNotFound, LinkNotFollowed, OtherError };

struct Listing {
    ListingStatus status = ListingStatus::Ok;
    std::vector<std::string> names; // bare names, sorted, never "." or ".."
};

// The folders inside folder (links to folders included).
Listing ListSubfolderNames(const std::string& folder);
// The files inside folder, hidden ones included, folders excluded.
Listing ListFileNames(const std::string& folder);

// What one reading of a folder collects; what is not asked for stays empty.
struct ContentsWanted {
    bool folders = true;
    bool files = true;
    // Each file's facts, read beside its name in the same look at the folder, so that a pass needs no second
    // look at any file by its full path.
    bool fileFacts = false;
};

// Both listings above from one read of folder, for a walk that wants the files of every folder it enters, with
// what a walk reports: why the folder could not be read, and the links in it that are not followed.
struct FolderContents {
    ListingStatus status = ListingStatus::Ok;
    std::string cause;                         // the system's words when status is not Ok
    std::vector<std::string> folders;          // as ListSubfolderNames gives them
    std::vector<std::string> files;            // as ListFileNames gives them
    std::vector<std::string> linksNotFollowed; // names of links the link rule does not follow (see FileCopy.h)
    // When asked for, beside files, one for one: no value for a file gone before it could be looked at.
    std::vector<std::optional<FileFacts>> fileFacts;
};
FolderContents ListFolderContents(const std::string& folder, const ContentsWanted& wanted = {});

// Why folder cannot be read as a folder, in the system's words ("No such file or directory", "Not a
// directory"...); empty when it can be examined.
std::string FolderProblem(const std::string& folder);

// The system's words for an error number (errno on POSIX, GetLastError on Windows).
std::string SystemMessage(int error);

// True when path names an existing file (not a folder) that can be opened.
bool CanOpenExistingFile(const std::string& path);

// True where ListFileNames already returns only names for which CanOpenExistingFile holds, so that callers need
// not test each name again (one system call per file saved). On POSIX "can be opened" means a regular file at
// the end of the path, which the listing itself tells.
#ifdef _WIN32
inline constexpr bool kListedFilesCanBeOpened = false;
#else
inline constexpr bool kListedFilesCanBeOpened = true;
#endif

// Last-write time; the path may name a file or a folder.
std::optional<FileTime> ReadLastWriteTime(const std::string& path);

// Offset of local time from UTC, in seconds, in force now. No value when the time zone cannot be read.
std::optional<std::int64_t> LocalTimeOffsetSeconds();

// Nanoseconds two times of files on this folder's file system may differ by and still be the same time
// (2 s on FAT, 10 ms on exFAT, 100 ns on NTFS, 1 ns where times are exact or the file system is unknown): the
// step its name tells, or the coarser step this process has seen it keep (platform/TimeStepLearning.h).
std::int64_t TimeResolution(const std::string& folder);
// TimeResolution once a time has been set on a temporary file in folder and read back (the file is removed at
// once): the step the file system really keeps, whatever it is called. It writes in folder, so it is only asked of
// a folder the pass copies into.
std::int64_t MeasureTimeResolution(const std::string& folder);

// A file larger than the process may write (ulimit -f) fails its write with EFBIG like any other full disk,
// instead of ending the process with SIGXFSZ. Called once at the start of each program. Nothing on Windows.
void IgnoreFileSizeLimitSignal();

} // namespace quillmere::platform
