// SPDX-License-Identifier: GPL-3.0-or-later
// The files of a walked tree, kept lean enough for a million of them: each folder's path once, the names of its
// files beside it in one block of text, and each file's facts packed in one flat array.
#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class ListedFiles {
public:
    // Folders and files are added in listing order: a file belongs to the folder added last. A folder's path ends
    // in one separator. Returns the folder's number.
    std::size_t AddFolder(std::string path);
    // facts: no value for a file that was gone when it was looked at.
    void AddFile(std::string_view name, const std::optional<platform::FileFacts>& facts);
    // Adds the files of folder in from, names and facts as they are there, to the folder added last: a folder
    // taken as it was listed before costs a copy of its block, not a string and a look-up per file.
    void AddFilesOf(const ListedFiles& from, std::size_t folder);
    // Gives folder the files names (with their facts, one each) in place of those it has; the files of the folders
    // after it keep their order and move by the difference in number. A folder read again costs its own files
    // (and, when that number or the length of its names changes, a move of the later ones), not a new listing.
    // A failure may leave the listing half changed: whoever holds it drops it.
    void ReplaceFilesOf(std::size_t folder, const std::vector<std::string>& names,
                        const std::vector<std::optional<platform::FileFacts>>& facts);

    std::size_t Size() const { return nameEnds_.size(); }
    std::size_t FolderCount() const { return folders_.size(); }
    const std::string& FolderPath(std::size_t folder) const { return folders_[folder].path; }
    // The files of a folder are those from FirstFileOf(folder) up to FirstFileOf(folder + 1).
    std::size_t FirstFileOf(std::size_t folder) const;

    std::string_view NameOf(std::size_t file) const {
        return std::string_view(names_).substr(NameStart(file), nameEnds_[file] - NameStart(file));
    }
    std::size_t FolderOf(std::size_t file) const;
    // The folder's path followed by the name.
    std::string PathOf(std::size_t file) const;

    std::optional<platform::FileFacts> FactsOf(std::size_t file) const;
    // The one fact a comparison reads, spared the rest.
    std::optional<platform::FileTime> LastWriteTimeOf(std::size_t file) const {
        const StoredFacts& stored = facts_[file];
        return stored.device == kNoFile
                   ? std::nullopt
                   : std::optional(platform::FileTime{stored.writeSeconds, stored.writeNanoseconds});
    }

    // Keeps the folders of paths, in that order, each either the folder added[k] with its files, or (no value) a
    // folder without files. The folders taken must come in the order they were added; the others are dropped.
    void KeepFolders(const std::vector<std::string>& paths, const std::vector<std::optional<std::size_t>>& added);

private:
    // The two times' halves apart and four bytes of alignment: 44 bytes a file instead of 56.
#pragma pack(push, 4)
    struct StoredFacts {
        std::int64_t writeSeconds;
        std::int64_t changeSeconds;
        std::uint64_t size;
        std::uint64_t inode;
        std::uint32_t writeNanoseconds;
        std::uint32_t changeNanoseconds;
        std::uint32_t device; // into devices_; kNoFile when the file was gone
    };
#pragma pack(pop)
    static constexpr std::uint32_t kNoFile = UINT32_MAX;

    struct Folder {
        std::string path;
        std::uint32_t firstFile = 0;
    };

    std::uint32_t NameStart(std::size_t file) const {
        return file == 0 ? 0 : nameEnds_[file - 1];
    }
    StoredFacts Store(const std::optional<platform::FileFacts>& facts);
    std::uint32_t DeviceNumber(std::uint64_t device);
    void MoveFilesDown(std::size_t from, std::size_t end, std::size_t to);

    std::vector<Folder> folders_;
    std::string names_;                   // every name, one after the other
    std::vector<std::uint32_t> nameEnds_; // per file: where its name ends in names_
    std::vector<StoredFacts> facts_;      // per file
    std::vector<std::uint64_t> devices_;  // the few devices the files lie on
};

} // namespace quillmere
