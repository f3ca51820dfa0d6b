// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop.org Trash: a file about to be replaced is hard-linked, moved or copied into files/ under the
// name its info/NAME.trashinfo, made first and exclusively, has reserved. The .trashinfo carries the program's key
// and stays locked while its keeping runs, so that a later keeping of the same file can tell what a killed pass
// left unfinished (platform/posix/KeptEntries.h).
#include "platform/Trash.h"
#include "platform/CopyRules.h"
#include "platform/posix/CopyData.h"
#include "platform/posix/KeptEntries.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TemporarySibling.h"
#include "platform/posix/TrashFolder.h"
#include "platform/posix/TrashInfo.h"
#include "platform/posix/TrashScan.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quillmere::platform {

using posix::WithSystemReason;

namespace {

// Numbered names tried before names with random digits, which cannot all be taken: a file is never left unkept, and
// so unreplaced, for want of a name. A name known taken costs nothing to pass over.
constexpr int kNumberedNames = 10'000;
constexpr int kUniqueNameAttempts = 16;

std::optional<std::string> RealPathOf(const std::string& path) {
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(path.c_str(), nullptr), std::free);
    return real ? std::optional<std::string>(real.get()) : std::nullopt;
}

std::tm LocalTime(std::time_t at) {
    std::tm local{};
    ::localtime_r(&at, &local);
    return local;
}

bool PathIsFree(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

// Never over an existing name: a file there (another entry's, or one left by a crash) would be lost.
bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return false;
    }
    // File systems without the flag (fusefat): look first. The name is ours by its .trashinfo, so no other
    // trash writer takes it meanwhile.
    if (!PathIsFree(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// FAT through FUSE stamps the time of a move on the file moved: its own times are put back, or a file put back
// from the trash would look newer than every other version of it, and the next pass would copy it over them.
bool MoveKeepingTimes(const std::string& from, const std::string& to) {
    struct stat before {};
    if (::lstat(from.c_str(), &before) != 0 || !MoveWithoutReplacing(from, to)) {
        return false;
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    (void)::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return true;
}

std::optional<FileFacts> FactsAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? std::optional(posix::FactsOf(info)) : std::nullopt;
}

// The file at one is the very version at other (one file under two names, or a copy made of it).
bool SameVersionAt(const std::string& one, const FileFacts& other, StableFacts stable) {
    const std::optional<FileFacts> facts = FactsAt(one);
    return facts && IsSameVersion(*facts, other, stable);
}

// A bind mount of the trash's own drive is another mount all the same: no link or move crosses it. Known before the
// keeping, so that a copy a killed pass left there is taken over rather than made again.
bool OnAnotherMount(const std::string& folder, const std::string& trash) {
    struct statx one {};
    struct statx other {};
    return ::statx(AT_FDCWD, folder.c_str(), 0, STATX_MNT_ID, &one) == 0 &&
           ::statx(AT_FDCWD, trash.c_str(), 0, STATX_MNT_ID, &other) == 0 && (one.stx_mask & STATX_MNT_ID) != 0 &&
           (other.stx_mask & STATX_MNT_ID) != 0 && one.stx_mnt_id != other.stx_mnt_id;
}

enum class Copying { Done, Failed, Changed };

// FUSE file systems refuse renameat2's flags; the name is ours by its .trashinfo, so a look first is enough there.
int AddWithoutReplacing(posix::TemporarySibling& file, const std::string& name, const std::string& path) {
    const int error = file.Add(name);
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP) {
        return error;
    }
    return PathIsFree(path) ? file.Replace(name) : EEXIST;
}

// A copy of from under the name kept in the folder files, with its permissions and times, on the disk before it
// takes that name: a copy killed half-way lies under a temporary name, which the next scan of the trash clears away.
// copied: the facts of from as copied. A file written meanwhile is not what was copied.
Copying CopyKeepingTimes(const std::string& from, const std::string& files, const std::string& kept,
                         FileFacts& copied) {
    const posix::UniqueFd source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const posix::UniqueFd folder(::open(files.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat before {};
    if (!source.Valid() || !folder.Valid() || ::fstat(source.Get(), &before) != 0) {
        return Copying::Failed;
    }
    posix::TemporarySibling copy(folder.Get());
    const timespec times[2] = {before.st_atim, before.st_mtim};
    struct stat after {};
    if (!copy.Valid() || !posix::CopyData(source.Get(), copy.Fd(), before) ||
        ::fchmod(copy.Fd(), before.st_mode & 0777) != 0 || ::futimens(copy.Fd(), times) != 0 || copy.Flush() != 0 ||
        ::fstat(source.Get(), &after) != 0) {
        return Copying::Failed;
    }
    if (posix::FactsOf(after) != posix::FactsOf(before)) {
        return Copying::Changed;
    }
    const int added = AddWithoutReplacing(copy, std::string(posix::LastComponent(kept)), kept);
    errno = added;
    copied = posix::FactsOf(before);
    return added == 0 ? Copying::Done : Copying::Failed;
}

bool FlushFile(const std::string& path) {
    const posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return file.Valid() && ::fsync(file.Get()) == 0;
}

// Where hard links are refused a .trashinfo cannot appear whole, and is written in place. rclone refuses them with
// EIO; a real I/O error fails the write in place as well.
bool MeansNoHardLinks(int error) {
    return error == EPERM || error == ENOTSUP || error == ENOSYS || error == EMLINK || error == EIO;
}

// The text in a new file of the program's in info/, flushed unless the caller flushes, then given its name by a
// hard link: of two writers choosing the same name one fails and moves on, and no Trash client ever reads it empty
// or cut short. lock: the file, locked (flock) from its creation. 0 or errno.
int WriteByLink(const std::string& folder, const std::string& info, const std::string& text, bool flushedByCaller,
                posix::UniqueFd& lock) {
    const posix::UniqueFd infoFolder(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!infoFolder.Valid()) {
        return errno;
    }
    posix::TemporarySibling written(infoFolder.Get());
    if (!written.Valid()) {
        return written.Error();
    }
    if (!posix::WriteAll(written.Fd(), text.data(), text.size()) || (!flushedByCaller && written.Flush() != 0)) {
        return errno;
    }
    const int error = written.AddByLink(std::string(posix::LastComponent(info)));
    if (error == 0) {
        lock = posix::UniqueFd(::dup(written.Fd())); // shares the lock, which outlives the temporary file
    }
    return error;
}

// Created exclusively and written at once, locked in between; a kill there leaves it empty. 0 or errno.
int WriteInPlace(const std::string& info, const std::string& text, bool flushedByCaller, posix::UniqueFd& lock) {
    posix::UniqueFd file(::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.Valid()) {
        return errno;
    }
    // A file system that keeps no locks (rclone gives EIO) leaves the file unlocked: only a running pass's own
    // entries are told apart by their lock, and the lock on the pair keeps two passes off one file.
    const bool held = ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (held || !posix::WriteAll(file.Get(), text.data(), text.size()) ||
        (!flushedByCaller && ::fsync(file.Get()) != 0)) {
        const int reason = errno;
        ::unlink(info.c_str());
        return reason;
    }
    lock = std::move(file);
    return 0;
}

} // namespace

struct TrashEntry::State {
    enum class Stage { Unreserved, Reserved, Linked, Moved, Copied, Done };
    enum class Claim { Reserved, Taken, Failed };

    std::string file;
    Stage stage = Stage::Unreserved;
    TrashFailure failure = TrashFailure::None;
    std::string error;
    std::unique_ptr<posix::TrashScans> ownScans; // for an entry made alone, outside a batch
    posix::TrashScan* scan = nullptr;
    std::string name; // in files/, and with ".trashinfo" in info/
    std::string infoPath;
    std::string keptPath; // the file's name in files/
    posix::UniqueFd lock; // the .trashinfo, locked while the keeping runs
    std::string text;     // of the .trashinfo
    bool flushedByCaller = false;
    StableFacts stable;
    bool needsCopy = false;          // the trash lies on another device or mount than the file
    std::optional<FileFacts> copied; // the file as it was when copied into the trash
    // A killed pass's entry holding the file as it is now, which this keeping takes over: the trash holds the file
    // itself (a hard link) or a copy of it.
    std::optional<bool> takenOverSameFile;
    std::optional<FileFacts> fileAsReserved;

    bool Fail(std::string why) {
        error = std::move(why);
        failure = TrashFailure::Failed;
        return false;
    }

    // An entry that could not be reserved keeps the reason it gave.
    bool NotReserved() {
        if (failure == TrashFailure::None) {
            Fail("no name in the trash is reserved for " + file);
        }
        return false;
    }

    bool Succeed(Stage next) {
        stage = next;
        error.clear();
        failure = TrashFailure::None;
        return true;
    }

    void Reserve(posix::TrashScans& scans) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0) {
            Fail(WithSystemReason("cannot examine " + file));
            return;
        }
        if (!S_ISREG(info.st_mode)) {
            Fail(file + " is not a file");
            return;
        }
        const auto realFolder = RealPathOf(posix::ParentFolderOf(file));
        if (!realFolder) {
            Fail(WithSystemReason("cannot resolve the folder of " + file));
            return;
        }
        const std::string fileName(posix::LastComponent(file));
        const auto trash = posix::ChooseTrashFolder(*realFolder, fileName, error);
        if (!trash) {
            failure = TrashFailure::Failed;
            return;
        }
        needsCopy = trash->onAnotherDevice || OnAnotherMount(*realFolder, trash->path);
        fileAsReserved = posix::FactsOf(info);
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const std::int64_t keptAt = std::int64_t{now.tv_sec} * kNanosecondsPerSecond + now.tv_nsec;
        text = posix::TrashInfoText(trash->originalPath, LocalTime(now.tv_sec), keptAt);
        scan = &scans.Of(trash->path);
        if (auto taken = posix::TidyEntriesOf(*scan, trash->originalPath, fileName, info, keptAt)) {
            TakeOver(std::move(*taken));
        } else {
            ClaimFreshName(fileName);
        }
    }

    void TakeOver(posix::TakenOver taken) {
        takenOverSameFile = taken.sameFile;
        lock = std::move(taken.lock);
        Named(taken.name);
        Succeed(Stage::Reserved);
    }

    void Named(const std::string& reserved) {
        name = reserved;
        infoPath = scan->InfoPath(reserved);
        keptPath = scan->KeptPath(reserved);
    }

    void ClaimFreshName(const std::string& fileName) {
        for (int attempt = 1; attempt <= kNumberedNames + kUniqueNameAttempts; ++attempt) {
            const std::string candidate = attempt <= kNumberedNames
                                              ? posix::CandidateTrashName(fileName, attempt)
                                              : posix::UniqueTrashName(fileName, posix::UniqueNumber());
            if (scan->Taken(candidate)) {
                continue;
            }
            if (ClaimName(candidate) != Claim::Taken) {
                return;
            }
        }
        Fail("no free name for " + fileName + " in the trash " + scan->Trash());
    }

    // Where the file's own file system keeps no identity through a hard link (FAT, rclone), a drive's trash there is
    // not tried with one: fusefat, given a temporary name and then another in info/ a few dozen times, stops making
    // any file in that folder (ENOENT).
    bool WritesInPlace() const { return scan->LinksRefused() || (!stable.identity && !needsCopy); }

    // A file in files/ without its .trashinfo (left by a crash, or by another program) keeps its name.
    Claim ClaimName(const std::string& candidate) {
        const std::string info = scan->InfoPath(candidate);
        if (!PathIsFree(scan->KeptPath(candidate))) {
            return Claim::Taken;
        }
        int made = WritesInPlace() ? EPERM : WriteByLink(scan->InfoFolder(), info, text, flushedByCaller, lock);
        if (MeansNoHardLinks(made)) {
            scan->RefuseLinks();
            made = WriteInPlace(info, text, flushedByCaller, lock);
        }
        if (made == EEXIST) {
            scan->Added(candidate);
            return Claim::Taken;
        }
        if (made != 0) {
            errno = made;
            Fail(WithSystemReason("cannot write " + info));
            return Claim::Failed;
        }
        scan->Added(candidate);
        Named(candidate);
        Succeed(Stage::Reserved);
        return Claim::Reserved;
    }

    // The entry found holds another file that only looks like this one (where inode numbers hold, a link must be the
    // file itself), or a move needs a name of its own: the entry stays as it was, and the keeping takes a new name.
    bool ClaimAnew() {
        takenOverSameFile.reset();
        lock.Reset();
        stage = Stage::Unreserved;
        ClaimFreshName(std::string(posix::LastComponent(file)));
        return stage == Stage::Reserved;
    }

    // A keeping by a link or a copy takes over the entry as it is. A copy's .trashinfo lies on another device than
    // the one the caller flushes, and the killed pass may not have flushed it.
    bool TakeOverAsKept() {
        copied = fileAsReserved;
        stage = *takenOverSameFile ? Stage::Linked : Stage::Copied; // rolled back from here on
        if (stage == Stage::Copied && flushedByCaller && !FlushFile(infoPath)) {
            return Fail(WithSystemReason("cannot flush " + infoPath));
        }
        return Succeed(stage);
    }

    // The trash's own name of the file (a link or a copy), then its .trashinfo.
    bool RemoveKept() {
        if (::unlink(keptPath.c_str()) != 0) {
            stage = Stage::Done;
            return Fail(WithSystemReason("cannot remove " + keptPath));
        }
        return RemoveInfo();
    }

    bool RemoveInfo() {
        stage = Stage::Done;
        if (::unlink(infoPath.c_str()) != 0) {
            return Fail(WithSystemReason("cannot remove " + infoPath));
        }
        scan->Removed(name);
        return true;
    }
};

TrashEntry::TrashEntry(const std::string& file) : TrashEntry(file, false) {}

TrashEntry::TrashEntry(const std::string& file, bool flushedByCaller, StableFacts stable, posix::TrashScans* scans)
    : state_(std::make_unique<State>()) {
    state_->file = file;
    state_->flushedByCaller = flushedByCaller;
    state_->stable = stable;
    if (scans == nullptr) {
        state_->ownScans = std::make_unique<posix::TrashScans>();
        scans = state_->ownScans.get();
    }
    state_->Reserve(*scans);
}

TrashEntry::~TrashEntry() {
    Rollback();
}

bool TrashEntry::Reserved() const {
    return state_->stage == State::Stage::Reserved;
}

TrashFailure TrashEntry::Failure() const {
    return state_->failure;
}

const std::string& TrashEntry::Error() const {
    return state_->error;
}

bool TrashEntry::KeepByLink() {
    State& entry = *state_;
    if (entry.stage != State::Stage::Reserved) {
        return entry.NotReserved();
    }
    if (entry.needsCopy) {
        return entry.Fail("the trash for " + entry.file + " lies on another drive");
    }
    if (entry.takenOverSameFile && (*entry.takenOverSameFile || !entry.stable.identity)) {
        return entry.TakeOverAsKept();
    }
    if (entry.takenOverSameFile && !entry.ClaimAnew()) {
        return false;
    }
    if (::link(entry.file.c_str(), entry.keptPath.c_str()) != 0) {
        // A bind mount of the trash's own drive is another mount all the same: no link or move crosses it.
        entry.needsCopy = errno == EXDEV;
        return entry.Fail(WithSystemReason("cannot link " + entry.file + " into the trash"));
    }
    return entry.Succeed(State::Stage::Linked);
}

bool TrashEntry::NeedsCopy() const {
    return state_->needsCopy;
}

// The .trashinfo lies on another device than the one the caller flushes: it is flushed here.
bool TrashEntry::KeepByCopy() {
    State& entry = *state_;
    if (entry.stage != State::Stage::Reserved) {
        return entry.NotReserved();
    }
    if (entry.takenOverSameFile) {
        return entry.TakeOverAsKept();
    }
    FileFacts copied;
    switch (CopyKeepingTimes(entry.file, posix::ParentFolderOf(entry.keptPath), entry.keptPath, copied)) {
    case Copying::Failed:
        return entry.Fail(WithSystemReason("cannot copy " + entry.file + " into the trash"));
    case Copying::Changed:
        return entry.Fail(entry.file + " changed while it was copied into the trash");
    case Copying::Done:
        break;
    }
    entry.copied = copied;
    entry.stage = State::Stage::Copied; // rolled back from here on, should the flush fail
    if (entry.flushedByCaller && !FlushFile(entry.infoPath)) {
        return entry.Fail(WithSystemReason("cannot flush " + entry.infoPath));
    }
    return entry.Succeed(State::Stage::Copied);
}

bool TrashEntry::Holds(const FileFacts& file) const {
    const State& entry = *state_;
    switch (entry.stage) {
    case State::Stage::Linked:
    case State::Stage::Moved: {
        const std::optional<FileFacts> held = FactsAt(entry.keptPath);
        return held && IsSameVersion(*held, file, entry.stable);
    }
    case State::Stage::Copied:
        return IsSameVersion(*entry.copied, file, entry.stable);
    default:
        return false;
    }
}

const std::string& TrashEntry::KeptPath() const {
    return state_->keptPath;
}

bool TrashEntry::KeepByMove() {
    State& entry = *state_;
    if (entry.stage != State::Stage::Reserved) {
        return entry.NotReserved();
    }
    if (entry.takenOverSameFile && !entry.ClaimAnew()) {
        return false;
    }
    if (!MoveKeepingTimes(entry.file, entry.keptPath)) {
        return entry.Fail(WithSystemReason("cannot move " + entry.file + " into the trash"));
    }
    return entry.Succeed(State::Stage::Moved);
}

void TrashEntry::Confirm() {
    State& entry = *state_;
    if (entry.stage == State::Stage::Linked || entry.stage == State::Stage::Moved ||
        entry.stage == State::Stage::Copied) {
        entry.stage = State::Stage::Done;
    }
}

bool TrashEntry::Rollback() {
    State& entry = *state_;
    switch (entry.stage) {
    case State::Stage::Unreserved:
    case State::Stage::Done:
        return true;
    case State::Stage::Reserved:
        if (entry.takenOverSameFile) {
            entry.stage = State::Stage::Done; // never kept by this entry: it stays as the killed pass left it
            return true;
        }
        return entry.RemoveInfo();
    case State::Stage::Linked: {
        // Only a second name of the file still in place may go; anything else is the old content's last copy.
        const std::optional<FileFacts> held = FactsAt(entry.keptPath);
        if (!held || !SameVersionAt(entry.file, *held, entry.stable)) {
            entry.stage = State::Stage::Done;
            return entry.Fail(entry.file + " was changed meanwhile; the kept file stays in the trash");
        }
        return entry.RemoveKept();
    }
    case State::Stage::Copied:
        if (!SameVersionAt(entry.file, *entry.copied, entry.stable)) {
            entry.stage = State::Stage::Done;
            return entry.Fail(entry.file + " was changed meanwhile; the kept copy stays in the trash");
        }
        return entry.RemoveKept();
    case State::Stage::Moved:
        if (!MoveKeepingTimes(entry.keptPath, entry.file)) {
            entry.stage = State::Stage::Done;
            return entry.Fail(WithSystemReason("cannot put " + entry.file + " back; it stays in the trash"));
        }
        return entry.RemoveInfo();
    }
    return true;
}

std::optional<std::string> HomeTrashFolder() {
    return posix::HomeTrashPath();
}

} // namespace quillmere::platform
