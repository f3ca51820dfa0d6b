// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop.org Trash: a file about to be replaced is hard-linked, moved or copied into files/ under the
// name its info/NAME.trashinfo, written first and exclusively, has reserved.
#include "platform/Trash.h"
#include "platform/CopyRules.h"
#include "platform/posix/CopyData.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TrashFolder.h"
#include "platform/posix/TrashInfo.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quillmere::platform {

using posix::WithSystemReason;

namespace {

// Enough for a file replaced on every pass for years; each attempt costs one failed open.
constexpr int kMaxNameAttempts = 10'000;

std::optional<std::string> RealPathOf(const std::string& path) {
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(path.c_str(), nullptr), std::free);
    return real ? std::optional<std::string>(real.get()) : std::nullopt;
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
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

enum class Copying { Done, Failed, Changed };

// A copy of from, made new at to, with its permissions and times, on the disk before it is trusted; the facts of
// from as copied. A file written meanwhile is not what was copied.
Copying CopyKeepingTimes(const std::string& from, const std::string& to, FileFacts& copied) {
    const posix::UniqueFd source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat before {};
    if (!source.Valid() || ::fstat(source.Get(), &before) != 0) {
        return Copying::Failed;
    }
    const posix::UniqueFd copy(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!copy.Valid()) {
        return Copying::Failed;
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    struct stat after {};
    const bool written = posix::CopyData(source.Get(), copy.Get(), before) &&
                         ::fchmod(copy.Get(), before.st_mode & 0777) == 0 && ::futimens(copy.Get(), times) == 0 &&
                         ::fsync(copy.Get()) == 0 && ::fstat(source.Get(), &after) == 0;
    const int reason = errno;
    if (!written || posix::FactsOf(after) != posix::FactsOf(before)) {
        ::unlink(to.c_str());
        errno = reason;
        return written ? Copying::Changed : Copying::Failed;
    }
    copied = posix::FactsOf(before);
    return Copying::Done;
}

bool FlushFile(const std::string& path) {
    const posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return file.Valid() && ::fsync(file.Get()) == 0;
}

// Writes text to a new file, flushed to the disk unless the caller flushes it; false (errno set) on any failure.
bool WriteInfo(int fd, const std::string& text, bool flushedByCaller) {
    std::FILE* file = ::fdopen(fd, "w");
    if (file == nullptr) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
        return false;
    }
    if (std::fputs(text.c_str(), file) < 0 || std::fflush(file) != 0 || (!flushedByCaller && ::fsync(fd) != 0)) {
        const int reason = errno;
        std::fclose(file);
        errno = reason;
        return false;
    }
    return std::fclose(file) == 0;
}

} // namespace

struct TrashEntry::State {
    enum class Stage { Unreserved, Reserved, Linked, Moved, Copied, Done };
    enum class Claim { Reserved, Taken, Failed };

    std::string file;
    Stage stage = Stage::Unreserved;
    TrashFailure failure = TrashFailure::None;
    std::string error;
    std::string infoPath;
    std::string keptPath; // the file's name in files/
    bool flushedByCaller = false;
    StableFacts stable;
    bool needsCopy = false;          // the trash lies on another device or mount than the file
    std::optional<FileFacts> copied; // the file as it was when copied into the trash

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

    void Reserve() {
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
        const std::string name(posix::LastComponent(file));
        const auto trash = posix::ChooseTrashFolder(*realFolder, name, error);
        if (!trash) {
            failure = TrashFailure::Failed;
            return;
        }
        needsCopy = trash->onAnotherDevice;
        const std::string text = posix::TrashInfoText(trash->originalPath, LocalNow());
        for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
            const Claim claim = ClaimName(trash->path, posix::CandidateTrashName(name, attempt), text);
            if (claim != Claim::Taken) {
                return;
            }
        }
        Fail("no free name for " + name + " in the trash " + trash->path);
    }

    // The .trashinfo is created with O_EXCL: of two writers choosing the same name, one fails and moves on.
    Claim ClaimName(const std::string& trash, const std::string& name, const std::string& text) {
        const std::string info = trash + "/info/" + name + std::string(posix::kTrashInfoSuffix);
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            return Claim::Taken;
        }
        if (fd < 0) {
            Fail(WithSystemReason("cannot write " + info));
            return Claim::Failed;
        }
        const std::string kept = trash + "/files/" + name;
        if (!PathIsFree(kept)) {
            ::close(fd);
            ::unlink(info.c_str());
            return Claim::Taken;
        }
        if (!WriteInfo(fd, text, flushedByCaller)) {
            Fail(WithSystemReason("cannot write " + info));
            ::unlink(info.c_str());
            return Claim::Failed;
        }
        infoPath = info;
        keptPath = kept;
        Succeed(Stage::Reserved);
        return Claim::Reserved;
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
        return ::unlink(infoPath.c_str()) == 0 || Fail(WithSystemReason("cannot remove " + infoPath));
    }
};

TrashEntry::TrashEntry(const std::string& file) : TrashEntry(file, false) {}

TrashEntry::TrashEntry(const std::string& file, bool flushedByCaller, StableFacts stable)
    : state_(std::make_unique<State>()) {
    state_->file = file;
    state_->flushedByCaller = flushedByCaller;
    state_->stable = stable;
    state_->Reserve();
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
    FileFacts copied;
    switch (CopyKeepingTimes(entry.file, entry.keptPath, copied)) {
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
