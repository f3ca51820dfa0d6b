// SPDX-License-Identifier: GPL-3.0-or-later
// The one write the program makes to the synchronized folders: a copy that never leaves a destination
// half-written, never replaces a file the pass did not compare, never stamps a valid time on a mixture of two
// versions, and says why when it is not made.
//
// The copy runs in stages: open and check the source, find and check the destination, fill a temporary file
// beside it, flush, then check both again and put the temporary file in the destination's place. The data goes
// to a temporary file named by TemporaryName (held under an exclusive lock while the copy runs), which takes the
// source's last-write time (to the nanosecond), the holes of a sparse source, and as far as the destination keeps
// them its permissions, access ACL and user extended attributes (POSIX: platform/posix/CopyMetadata.h).
//
// Links are followed, for reading and for writing, only where the link rule allows: the link's owner is the user
// running the program or also owns what the link leads to (the rule Linux's protected links apply in shared
// folders). Windows follows links as the system does.
//
// Asked to, the copy keeps the file it replaces in the Trash (platform/Trash.h), and a file that cannot be kept is
// not replaced. Where hard links work, the old file is linked into the trash before the checks and the usual
// replacement follows, so the destination is never missing; where they are refused (FAT), it is moved into the
// trash after the checks and the copy takes the free place, so a crash between the two leaves the old file in
// the trash and the new one under its temporary name. A replacement refused at the last moment takes the old
// file back out of the trash.
#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform {

enum class CopyStatus { Copied, Refused, Failed };

// Why a copy was refused: a rule of the program, not the system, kept it from being made.
enum class Refusal {
    None,
    ReadOnly,           // the destination's permissions grant no write (this binds root too)
    SameFile,           // source and destination are one file
    NotAFile,           // the source or the destination is a folder, a device, a pipe or a dangling link
    SourceChanged,      // the source was written while being copied, or is not the file the pass compared
    DestinationChanged, // the destination is no longer the file the pass compared
    DestinationExists,  // a file appeared where the pass found none
    LinkNotFollowed,    // a link on the way is not followed (the link rule)
    DatedInTheFuture,   // the newer file is dated more than a day ahead of this machine's clock
    LetterCase,         // the destination's folder takes the name for another file's, which differs only in case
};

// The words for a refusal, as the command line prints them and the window lists them.
std::string_view RefusalText(Refusal refusal);

// What became of the file a copy replaced.
enum class ReplacedFile {
    NotAsked,       // nothing was replaced, or it was replaced outright as asked
    Kept,           // it is in the Trash, where the desktop can restore it
    ReplacedUnkept, // it was to be kept, but its drive keeps no Recycle Bin (Windows): it was replaced anyway
};

// The step of a copy that failed, which its cause names before the system's words.
enum class CopyStep {
    OpenSource,
    ReachDestination,
    ExamineDestinationFolder,
    MakeTemporary,
    WriteTemporary,
    ExamineTemporary,
    Flush,
    ExamineDestination,
    PutInPlace,
};

// "cannot write the temporary file" and the like.
std::string_view CopyStepText(CopyStep step);

struct CopyOutcome {
    CopyStatus status = CopyStatus::Failed;
    Refusal refusal = Refusal::None;  // when Refused
    int systemError = 0;              // when Failed: errno, or GetLastError on Windows; 0 when the Trash failed
    std::string cause;                // when not Copied: the refusal's text, or the step that failed and the
                                      // system's message; when the replaced file is ReplacedUnkept: why
    std::optional<FileFacts> written; // when Copied: the file now at the destination
    ReplacedFile replaced = ReplacedFile::NotAsked;

    static CopyOutcome Copied(const FileFacts& written, ReplacedFile replaced = ReplacedFile::NotAsked);
    static CopyOutcome Refused(Refusal refusal);
    static CopyOutcome Failed(CopyStep step, int systemError);
    // The file to replace could not be kept in the Trash, so it was not replaced: the Trash's reason.
    static CopyOutcome KeepingFailed(const std::string& trashReason);
    // The copy stopped on an exception: its text.
    static CopyOutcome FailedBy(const std::string& exceptionText);
};

enum class CopyStage {
    DataWritten, // the temporary file holds all the data (flushed with its batch, later); nothing is checked again
    Checked,     // the data is on the disk, source and destination are as they were; the temporary file takes the
                 // destination's place next
};

struct CopyRequest {
    std::string source{};
    std::string destination{};
    // The source as the pass compared it: the copy then goes ahead only while it is still that file, unchanged.
    // No value: the source as the copy finds it (an addition, which compares no times).
    std::optional<FileFacts> sourceAsCompared{};
    // The destination as the pass compared it: the copy replaces only that file, unchanged. No value: the pass
    // found no file there, and the copy only adds one, never replacing a file that appeared meanwhile.
    std::optional<FileFacts> destinationAsCompared{};
    // Told as the copy reaches each stage, on the thread copying.
    std::function<void(CopyStage)> onStage{};
    // Keep the file replaced in the Trash; when it cannot be kept, replace nothing.
    bool keepReplaced = false;
};

// A copy from start to end: a batch of one.
CopyOutcome CopyFileFailSafe(const CopyRequest& request);

// Copies made together, so that one flush puts the data of all of them on the disk, in place of one flush each.
// Add writes a copy's data into its temporary file. Commit then keeps the files to be replaced in the Trash,
// flushes, and only then checks each copy and puts it in place, in the order added, telling each outcome. No
// destination is replaced or added before its new data is on the disk; a process killed before Commit leaves only
// locked, marked temporary files, which the next pass removes. How each system flushes is said where it is
// implemented (posix/CopyFileFailSafe.cpp, windows/FileCopy.cpp).
class CopyBatch {
public:
    CopyBatch();
    // Copies not committed are dropped: their temporary files removed, nothing at a destination changed.
    ~CopyBatch();
    CopyBatch(const CopyBatch&) = delete;
    CopyBatch& operator=(const CopyBatch&) = delete;

    // An exception (std::exception) while the data is written is a failed copy, never one that escapes.
    void Add(const CopyRequest& request);
    // A copy that ended before it began (its paths name no file to copy), told in its place among the others.
    void AddEnded(const CopyRequest& request, const CopyOutcome& outcome);
    std::size_t Size() const;
    // Whether the batch holds as many files or bytes as should wait for one flush: commit it now. Each copy keeps
    // files open until it is committed, so the batch is held below the process's limit of open files.
    bool Full() const;

    using Told = std::function<void(const CopyRequest&, const CopyOutcome&)>;
    // Makes every copy added since the last commit and tells each outcome, in the order added; an exception while a
    // copy is checked and put in place fails that copy. The batch is empty afterwards, also when told throws (the
    // copies not yet told are then dropped).
    void Commit(const Told& told);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The checks the copy makes before it writes anything, one side each, for a dry run; no value when the copy
// could go ahead as far as that side can tell in advance.
std::optional<CopyOutcome> CheckCopySource(const CopyRequest& request);
std::optional<CopyOutcome> CheckCopyDestination(const CopyRequest& request);

// Removes the temporary file at path when it is one a copy left behind (killed, or the power cut): its name is
// a TemporaryName and no copy holds it locked. The only file the program ever deletes. A user's file that a
// replacement killed half-way left under that name is put back in its place first (POSIX: the rules are in
// platform/posix/LeftoverTemporary.cpp). True when removed.
bool RemoveLeftoverTemporary(const std::string& path);

} // namespace quillmere::platform
