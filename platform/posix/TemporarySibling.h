// SPDX-License-Identifier: GPL-3.0-or-later
// A temporary file of this program beside the file it is to become, and the atomic whole-file write built on it.
#pragma once

#include "platform/posix/UniqueFd.h"

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

class TemporarySibling {
public:
    // Creates a file named TemporaryName (mode 0600, closed on exec) in the open folder, and locks it (flock,
    // exclusive) for as long as it lives, so that a pass meeting it knows a copy still holds it. Valid() tells
    // whether that worked, Error() why not. The folder must stay open while this lives. The file is marked as
    // this program's with an extended attribute where the file system keeps them (see TemporaryMarkOf): the mark
    // holds the temporary name, and leaves the file once it is in place for good.
    explicit TemporarySibling(int folder);
    ~TemporarySibling();
    TemporarySibling(const TemporarySibling&) = delete;
    TemporarySibling& operator=(const TemporarySibling&) = delete;

    bool Valid() const { return file_.Valid(); }
    int Error() const { return error_; }
    int Fd() const { return file_.Get(); }
    const std::string& Name() const { return name_; }
    // Whether the file carries the mark. Only a marked file may be exchanged with a user's file: a crash in the
    // middle would leave the user's file under the temporary name, where only the mark tells it apart.
    bool Marked() const { return marked_; }

    // Each returns 0 or the errno of the call. The data must be flushed before the file takes a name that
    // matters, or a crash could leave that name on an empty file.
    int Flush();
    // Takes the name, which must be free: renameat2 with RENAME_NOREPLACE.
    int Add(const std::string& name);
    // The same by a hard link, after which the temporary name goes, for file systems that refuse the flag but keep
    // hard links (FUSE); a crash between the two leaves a second name, which the clean-up of leftovers removes.
    int AddByLink(const std::string& name);
    // Takes the name, and the file that had it takes the temporary name: renameat2 with RENAME_EXCHANGE. Called
    // again, it swaps them back. The file keeps its mark in between: should the program die before the swap back,
    // the mark, naming the temporary name, tells the next pass which file to put back (RemoveLeftoverTemporary).
    int Exchange(const std::string& name);
    // Takes the name from whatever has it: a plain rename.
    int Replace(const std::string& name);
    // Removes what the temporary name holds after an exchange: the file that was replaced. The swap is then over,
    // and the file in place loses its mark.
    int RemoveTakenOut();

private:
    enum class Made { Yes, TryAnotherName, No };
    Made Create();
    int Rename(const std::string& name, unsigned flags);
    void Unmark();

    int folder_;
    std::string name_;
    UniqueFd file_;
    int error_ = 0;
    bool inPlace_ = false; // the temporary name no longer holds this file
    bool marked_ = false;
};

enum class TemporaryMark {
    Own,     // the mark names the file's own temporary name: the program's temporary file, never put in place
    None,    // no mark at all
    Other,   // a mark naming another temporary name: a file once put in place, or an edited copy of one
    NotKept, // the file system keeps no extended attributes, so no copy there ever used an exchange
};
// The mark on an open file that lies under the temporary name name.
TemporaryMark TemporaryMarkOf(int fd, std::string_view name);
// The same for a file named entry in the open folder, read without opening it (which a device would notice).
TemporaryMark TemporaryMarkOf(int folder, const std::string& entry, std::string_view name);
// 64 random bits, as the temporary names take them; a counter keeps them distinct should the system give no
// randomness.
std::uint64_t UniqueNumber();

// Whether an extended attribute is the program's mark, which a copy never carries over from its source.
bool IsTemporaryMark(std::string_view attribute);

// Writes text to path so that path is never seen half-written: a temporary sibling, flushed, then renamed over
// it. The file gets mode. False when any step fails (path is then as it was).
bool WriteFileAtomically(const std::string& path, std::string_view text, mode_t mode);

// write(2) until all is written, going on after interruptions; false on an error (errno tells which).
bool WriteAll(int fd, const char* data, std::size_t size);

} // namespace quillmere::platform::posix
