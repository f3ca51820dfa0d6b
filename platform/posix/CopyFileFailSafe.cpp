// SPDX-License-Identifier: GPL-3.0-or-later
// The one write the program makes to the synchronized folders, in stages: open and check the source, find and
// check the destination (and reserve its place in the Trash), fill and flush a temporary file beside it, keep the
// old file by a link, check both again, put the new file in place.
#include "platform/FileCopy.h"
#include "platform/Trash.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <vector>

namespace quillmere::platform {

namespace {

using posix::FactsOf;
using posix::TemporarySibling;
using posix::UniqueFd;

// The source, open, as it was when opened.
struct SourceFile {
    UniqueFd fd;
    struct stat info {};
};

// Where the copy goes: the folder holding the destination (for a link the rule follows, its target's folder),
// the name there, the file there now, and who is to own the copy.
struct Destination {
    UniqueFd folder;
    std::string name;
    std::optional<struct stat> existing;
    uid_t owner = 0;
    gid_t group = 0;
};

std::optional<CopyOutcome> OutcomeOf(const posix::Reach& reach) {
    if (reach.linkRefused) {
        return CopyOutcome::Refused(Refusal::LinkNotFollowed);
    }
    return reach.error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(reach.error)) : std::nullopt;
}

std::optional<CopyOutcome> OpenSource(const CopyRequest& request, SourceFile& source) {
    // O_NONBLOCK keeps a named pipe given as source from hanging the open; regular files ignore it.
    posix::OpenedFile opened = posix::OpenReached(AT_FDCWD, request.source, O_RDONLY | O_NONBLOCK);
    if (auto problem = OutcomeOf(opened.reach)) {
        return problem;
    }
    if (!S_ISREG(opened.info.st_mode)) {
        return CopyOutcome::Refused(Refusal::NotAFile);
    }
    // Not the file compared: maybe restored from a backup with an older time, which must not replace a newer file.
    if (request.sourceAsCompared && FactsOf(opened.info) != *request.sourceAsCompared) {
        return CopyOutcome::Refused(Refusal::SourceChanged);
    }
    source = SourceFile{std::move(opened.fd), opened.info};
    return std::nullopt;
}

// Only a regular file that is not read-only (by its permission bits, whoever runs the program) and is still the
// one compared is replaced; only a free name is taken when the pass found none.
std::optional<CopyOutcome> CheckExisting(const std::optional<struct stat>& existing, const struct stat& source,
                                         const std::optional<FileFacts>& compared) {
    if (!existing) {
        return compared ? std::optional<CopyOutcome>(CopyOutcome::Refused(Refusal::DestinationChanged)) : std::nullopt;
    }
    if (!S_ISREG(existing->st_mode)) {
        return CopyOutcome::Refused(Refusal::NotAFile);
    }
    if (posix::IsSameFile(*existing, source)) {
        return CopyOutcome::Refused(Refusal::SameFile);
    }
    if ((existing->st_mode & 0222) == 0) {
        return CopyOutcome::Refused(Refusal::ReadOnly);
    }
    if (!compared) {
        return CopyOutcome::Refused(Refusal::DestinationExists);
    }
    if (!IsSameVersion(FactsOf(*existing), *compared)) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    return std::nullopt;
}

// A replaced file keeps its owner and a new one takes its folder's, so that a copy made by root does not take a
// file from its user.
std::optional<CopyOutcome> FindDestination(const CopyRequest& request, const struct stat& source,
                                           Destination& destination) {
    posix::ReachedEntry entry = posix::ReachEntry(AT_FDCWD, request.destination);
    if (auto problem = OutcomeOf(entry.reach)) {
        return problem;
    }
    if (auto problem = CheckExisting(entry.info, source, request.destinationAsCompared)) {
        return problem;
    }
    struct stat owner {};
    if (entry.info) {
        owner = *entry.info;
    } else if (::fstat(entry.folder.Get(), &owner) != 0) {
        return CopyOutcome::Failed(errno);
    }
    destination = Destination{std::move(entry.folder), std::move(entry.name), entry.info, owner.st_uid, owner.st_gid};
    return std::nullopt;
}

bool CopyData(int from, int to) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (!posix::WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

// The source's last-write time to the nanosecond, and its access time: fusefat ignores a new last-write time
// when the access time is left out (UTIME_OMIT), so both are given.
std::array<timespec, 2> TimesOf(const struct stat& source) {
    return {source.st_atim, source.st_mtim};
}

std::optional<CopyOutcome> Fill(TemporarySibling& temporary, const SourceFile& source, const Destination& destination) {
    if (!CopyData(source.fd.Get(), temporary.Fd())) {
        return CopyOutcome::Failed(errno);
    }
    // Only root may give a file away, and file systems without POSIX owners and permissions (FAT) refuse or
    // ignore both: the data and the time matter more.
    (void)::fchown(temporary.Fd(), destination.owner, destination.group);
    (void)::fchmod(temporary.Fd(), source.info.st_mode & 0777);
    if (::futimens(temporary.Fd(), TimesOf(source.info).data()) != 0) {
        return CopyOutcome::Failed(errno);
    }
    const int error = temporary.Flush();
    return error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(error)) : std::nullopt;
}

// Written while being copied (in place, even with its old time put back, as cp -p does), or replaced by a new file
// (saved editor-style): either way the copy is not the source as it now is, and must not carry its time.
std::optional<CopyOutcome> CheckSourceUnchanged(const CopyRequest& request, const SourceFile& source) {
    struct stat now {};
    struct stat named {};
    if (::fstat(source.fd.Get(), &now) != 0) {
        return CopyOutcome::Failed(errno);
    }
    if (FactsOf(now) != FactsOf(source.info) || ::stat(request.source.c_str(), &named) != 0 ||
        !posix::IsSameFile(named, now)) {
        return CopyOutcome::Refused(Refusal::SourceChanged);
    }
    return std::nullopt;
}

// The destination's place holds the file expected there, unchanged; no value expected: it is free.
std::optional<CopyOutcome> CheckPlace(const Destination& destination, const std::optional<struct stat>& expected) {
    struct stat now {};
    const bool present = ::fstatat(destination.folder.Get(), destination.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (!present && errno != ENOENT) {
        return CopyOutcome::Failed(errno);
    }
    if (!expected) {
        return present ? std::optional<CopyOutcome>(CopyOutcome::Refused(Refusal::DestinationExists)) : std::nullopt;
    }
    if (!present || !IsSameVersion(FactsOf(now), FactsOf(*expected))) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    return std::nullopt;
}

// The full path of the destination, which the Trash names in its .trashinfo: the folder as the system knows it
// (after the links the rule followed), then the name.
std::optional<std::string> PathOf(const Destination& destination) {
    char folder[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(destination.folder.Get());
    const ssize_t length = ::readlink(link.c_str(), folder, sizeof folder);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof folder || folder[0] != '/') {
        return std::nullopt;
    }
    const std::string text(folder, static_cast<std::size_t>(length));
    return (text == "/" ? text : text + "/") + destination.name;
}

// Reserved once the data is written, not before: a copy killed meanwhile (a long one, say) would leave an entry
// without its file, which trash clients list and cannot restore.
std::optional<CopyOutcome> ReserveKeeping(const Destination& destination, std::optional<TrashEntry>& kept) {
    const std::optional<std::string> path = PathOf(destination);
    if (!path) {
        return CopyOutcome::NotKept("the path of " + destination.name + " cannot be told");
    }
    kept.emplace(*path);
    return kept->Reserved() ? std::nullopt : std::optional<CopyOutcome>(CopyOutcome::NotKept(kept->Error()));
}

// The trash holds the very file the pass compared, whichever way it came there.
bool TrashHolds(const TrashEntry& kept, const Destination& destination) {
    struct stat held {};
    return ::lstat(kept.KeptPath().c_str(), &held) == 0 && IsSameVersion(FactsOf(held), FactsOf(*destination.existing));
}

// FUSE file systems (fusefat among them) refuse the rename flags with EINVAL.
bool IsRefusedFlag(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// An addition takes only a free name, in one step. Where that step is refused, the check just made is all there is.
std::optional<CopyOutcome> AddFile(TemporarySibling& temporary, const Destination& destination) {
    int error = temporary.Add(destination.name);
    if (IsRefusedFlag(error)) {
        error = temporary.Replace(destination.name);
    }
    if (error == EEXIST) {
        return CopyOutcome::Refused(Refusal::DestinationExists);
    }
    return error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(error)) : std::nullopt;
}

// A replacement swaps the two files in one step and then looks at the one it took out: a file saved there at the
// last moment is swapped back, and the next pass compares it. Only a marked temporary file takes part in a swap,
// so that a crash before the swap back leaves a file the clean-up of leftovers can tell from its own. Where the
// swap is refused, the check just made is all there is.
std::optional<CopyOutcome> ReplaceFile(TemporarySibling& temporary, const Destination& destination) {
    const int error = temporary.Marked() ? temporary.Exchange(destination.name) : EOPNOTSUPP;
    if (IsRefusedFlag(error)) {
        const int replaced = temporary.Replace(destination.name);
        return replaced != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(replaced)) : std::nullopt;
    }
    if (error != 0) {
        return CopyOutcome::Failed(error);
    }
    struct stat takenOut {};
    if (::fstatat(destination.folder.Get(), temporary.Name().c_str(), &takenOut, AT_SYMLINK_NOFOLLOW) == 0 &&
        IsSameVersion(FactsOf(takenOut), FactsOf(*destination.existing))) {
        // The file replaced, now under the temporary name; when it is kept, the trash holds another name of it.
        (void)temporary.RemoveTakenOut();
        return std::nullopt;
    }
    // The saved file must not stay under a temporary name, which a later pass would clean away.
    if (temporary.Exchange(destination.name) != 0) {
        (void)temporary.Replace(destination.name);
    }
    return CopyOutcome::Refused(Refusal::DestinationChanged);
}

// Where hard links are refused (FAT), the old file moves into the trash and the copy takes its place, which must
// be free. A crash between the two leaves the old file in the trash and the new one under the temporary name.
std::optional<CopyOutcome> MoveAsideAndAdd(TemporarySibling& temporary, const Destination& destination,
                                           TrashEntry& kept) {
    if (!kept.KeepByMove()) {
        return CopyOutcome::NotKept(kept.Error());
    }
    // A file saved in the instant since the check went to the trash instead: the rollback puts it back.
    if (!TrashHolds(kept, destination)) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    if (auto problem = CheckPlace(destination, std::nullopt)) {
        return problem;
    }
    return AddFile(temporary, destination);
}

std::optional<CopyOutcome> PutInPlace(TemporarySibling& temporary, const Destination& destination,
                                      std::optional<TrashEntry>& kept, bool linked) {
    if (!destination.existing) {
        return AddFile(temporary, destination);
    }
    auto problem =
        kept && !linked ? MoveAsideAndAdd(temporary, destination, *kept) : ReplaceFile(temporary, destination);
    if (!problem && kept) {
        kept->Confirm();
    }
    return problem;
}

// Some file systems (fusefat among them) stamp the current time on a file when it is renamed, so the time is set
// again on the file, still open; the copy itself has succeeded either way.
CopyOutcome Finish(const TemporarySibling& temporary, const SourceFile& source, ReplacedFile replaced) {
    (void)::futimens(temporary.Fd(), TimesOf(source.info).data());
    struct stat written {};
    (void)::fstat(temporary.Fd(), &written);
    return CopyOutcome::Copied(FactsOf(written), replaced);
}

void Tell(const CopyRequest& request, CopyStage stage) {
    if (request.onStage) {
        request.onStage(stage);
    }
}

} // namespace

CopyOutcome CopyFileFailSafe(const CopyRequest& request) {
    SourceFile source;
    Destination destination;
    if (auto problem = OpenSource(request, source)) {
        return *problem;
    }
    if (auto problem = FindDestination(request, source.info, destination)) {
        return *problem;
    }
    TemporarySibling temporary(destination.folder.Get());
    if (!temporary.Valid()) {
        return CopyOutcome::Failed(temporary.Error());
    }
    if (auto problem = Fill(temporary, source, destination)) {
        return *problem;
    }
    Tell(request, CopyStage::DataWritten);
    // Whatever the copy does not confirm, the entry's end takes back out of the trash.
    std::optional<TrashEntry> kept;
    if (request.keepReplaced && destination.existing) {
        if (auto problem = ReserveKeeping(destination, kept)) {
            return *problem;
        }
    }
    // Linked before the checks, so that the check of the destination vouches for what the trash holds, and the
    // instant between the check and the replacement is no longer than without keeping.
    const bool linked = kept && kept->KeepByLink();
    if (auto problem = CheckSourceUnchanged(request, source)) {
        return *problem;
    }
    if (auto problem = CheckPlace(destination, destination.existing)) {
        return *problem;
    }
    if (linked && !TrashHolds(*kept, destination)) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    Tell(request, CopyStage::Checked);
    if (auto problem = PutInPlace(temporary, destination, kept, linked)) {
        return *problem;
    }
    return Finish(temporary, source, kept ? ReplacedFile::Kept : ReplacedFile::NotAsked);
}

void IgnoreFileSizeLimitSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<CopyOutcome> CheckCopySource(const CopyRequest& request) {
    SourceFile source;
    return OpenSource(request, source);
}

std::optional<CopyOutcome> CheckCopyDestination(const CopyRequest& request) {
    struct stat source {};
    (void)::stat(request.source.c_str(), &source); // for the same-file test only
    Destination destination;
    return FindDestination(request, source, destination);
}

} // namespace quillmere::platform
