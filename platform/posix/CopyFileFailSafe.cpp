// SPDX-License-Identifier: GPL-3.0-or-later
// The one write the program makes to the synchronized folders, on POSIX. Each copy of a batch opens and checks the
// source, finds and checks the destination and fills a temporary file beside it; the commit reserves the old
// files' places in the Trash (their .trashinfo and hard link) and flushes the temporary files and those entries
// together: one syncfs per file system, and a file at a time on FUSE file systems, whose daemons hear only fsync.
#include "platform/CopyRules.h"
#include "platform/FileCopy.h"
#include "platform/TimeStepLearning.h"
#include "platform/Trash.h"
#include "platform/posix/CopyData.h"
#include "platform/posix/CopyMetadata.h"
#include "platform/posix/FileSystemKey.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/StableFactsProbe.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <deque>
#include <exception>
#include <unordered_map>
#include <utility>

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
    StableFacts stable; // what its file system keeps of a file
};

std::optional<CopyOutcome> OutcomeOf(const posix::Reach& reach, CopyStep step) {
    if (reach.linkRefused) {
        return CopyOutcome::Refused(Refusal::LinkNotFollowed);
    }
    return reach.error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(step, reach.error)) : std::nullopt;
}

std::optional<CopyOutcome> RefusedFor(std::optional<Refusal> refusal) {
    return refusal ? std::optional<CopyOutcome>(CopyOutcome::Refused(*refusal)) : std::nullopt;
}

EntryKind KindOf(const struct stat& info) {
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::NotAFile;
}

SeenEntry SeenOf(const std::optional<struct stat>& entry) {
    if (!entry) {
        return {};
    }
    return SeenEntry{KindOf(*entry), FactsOf(*entry), (entry->st_mode & 0222) == 0};
}

std::optional<FileFacts> FactsIfAny(const std::optional<struct stat>& entry) {
    return entry ? std::optional(FactsOf(*entry)) : std::nullopt;
}

std::optional<CopyOutcome> OpenSource(const CopyRequest& request, SourceFile& source) {
    // O_NONBLOCK keeps a named pipe given as source from hanging the open; regular files ignore it.
    posix::OpenedFile opened = posix::OpenReached(AT_FDCWD, request.source, O_RDONLY | O_NONBLOCK);
    if (auto problem = OutcomeOf(opened.reach, CopyStep::OpenSource)) {
        return problem;
    }
    if (auto refused = RefusedFor(JudgeSource(KindOf(opened.info), FactsOf(opened.info), request.sourceAsCompared))) {
        return refused;
    }
    source = SourceFile{std::move(opened.fd), opened.info};
    return std::nullopt;
}

// A replaced file keeps its owner and a new one takes its folder's, so that a copy made by root does not take a
// file from its user.
// What the destination's file system keeps of a file, told once a batch for each file system by a probe on a
// temporary file of its own. Where none can be made, the copy's own will fail too: all facts are compared meanwhile.
class StableFactsSeen {
public:
    StableFacts In(int folder) {
        const std::uint64_t fileSystem = posix::FileSystemKeyOf(folder);
        if (const auto known = seen_.find(fileSystem); known != seen_.end()) {
            return known->second;
        }
        const TemporarySibling probe(folder);
        const std::optional<StableFacts> probed = probe.Valid() ? posix::ProbeStableFacts(folder, probe) : std::nullopt;
        return probed ? seen_[fileSystem] = *probed : StableFacts{};
    }

private:
    std::unordered_map<std::uint64_t, StableFacts> seen_;
};

// seen: what the file systems keep, as far as known; a dry run, which writes no probe, knows nothing and compares
// every fact.
std::optional<CopyOutcome> FindDestination(const CopyRequest& request, const struct stat& source,
                                           Destination& destination, StableFactsSeen* seen) {
    posix::ReachedEntry entry = posix::ReachEntry(AT_FDCWD, request.destination);
    if (auto problem = OutcomeOf(entry.reach, CopyStep::ReachDestination)) {
        return problem;
    }
    const StableFacts stable = entry.info && seen != nullptr ? seen->In(entry.folder.Get()) : StableFacts{};
    const bool isTheSource = entry.info && posix::IsSameFile(*entry.info, source);
    if (auto refused =
            RefusedFor(JudgeDestination(SeenOf(entry.info), isTheSource, request.destinationAsCompared, stable))) {
        return refused;
    }
    struct stat owner {};
    if (entry.info) {
        owner = *entry.info;
    } else if (::fstat(entry.folder.Get(), &owner) != 0) {
        return CopyOutcome::Failed(CopyStep::ExamineDestinationFolder, errno);
    }
    destination =
        Destination{std::move(entry.folder), std::move(entry.name), entry.info, owner.st_uid, owner.st_gid, stable};
    return std::nullopt;
}

// The source's last-write time to the nanosecond, and its access time: fusefat ignores a new last-write time
// when the access time is left out (UTIME_OMIT), so both are given.
std::array<timespec, 2> TimesOf(const struct stat& source) {
    return {source.st_atim, source.st_mtim};
}

std::optional<CopyOutcome> Fill(TemporarySibling& temporary, const SourceFile& source, const Destination& destination) {
    if (!posix::CopyData(source.fd.Get(), temporary.Fd(), source.info)) {
        return CopyOutcome::Failed(CopyStep::WriteTemporary, errno);
    }
    posix::CopyMetadata(source.fd.Get(), temporary.Fd(), source.info, destination.owner, destination.group);
    return ::futimens(temporary.Fd(), TimesOf(source.info).data()) != 0
               ? std::optional<CopyOutcome>(CopyOutcome::Failed(CopyStep::WriteTemporary, errno))
               : std::nullopt;
}

std::optional<CopyOutcome> CheckSourceUnchanged(const CopyRequest& request, const struct stat& opened) {
    struct stat named {};
    const bool present = ::stat(request.source.c_str(), &named) == 0;
    return RefusedFor(JudgeSourceAgain(present ? std::optional(FactsOf(named)) : std::nullopt, FactsOf(opened)));
}

std::optional<CopyOutcome> CheckPlace(const Destination& destination, const std::optional<struct stat>& expected,
                                      StableFacts stable) {
    struct stat now {};
    const bool present = ::fstatat(destination.folder.Get(), destination.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (!present && errno != ENOENT) {
        return CopyOutcome::Failed(CopyStep::ExamineDestination, errno);
    }
    return RefusedFor(JudgePlace(present ? std::optional(FactsOf(now)) : std::nullopt, FactsIfAny(expected), stable));
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
std::optional<CopyOutcome> ReserveKeeping(const Destination& destination, std::optional<TrashEntry>& kept,
                                          bool flushedByCaller, StableFacts stable) {
    const std::optional<std::string> path = PathOf(destination);
    if (!path) {
        return CopyOutcome::KeepingFailed("the path of " + destination.name + " cannot be told");
    }
    kept.emplace(*path, flushedByCaller, stable);
    return kept->Reserved() ? std::nullopt : std::optional<CopyOutcome>(CopyOutcome::KeepingFailed(kept->Error()));
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
    return error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(CopyStep::PutInPlace, error)) : std::nullopt;
}

// A replacement swaps the two files in one step and then looks at the one it took out: a file saved there at the
// last moment is swapped back, and the next pass compares it. Only a marked temporary file takes part in a swap,
// so that a crash before the swap back leaves a file the clean-up of leftovers can tell from its own. Where the
// swap is refused, the check just made is all there is.
std::optional<CopyOutcome> ReplaceFile(TemporarySibling& temporary, const Destination& destination,
                                       StableFacts stable) {
    const int error = temporary.Marked() ? temporary.Exchange(destination.name) : EOPNOTSUPP;
    if (IsRefusedFlag(error)) {
        const int replaced = temporary.Replace(destination.name);
        return replaced != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(CopyStep::PutInPlace, replaced))
                             : std::nullopt;
    }
    if (error != 0) {
        return CopyOutcome::Failed(CopyStep::PutInPlace, error);
    }
    struct stat takenOut {};
    if (::fstatat(destination.folder.Get(), temporary.Name().c_str(), &takenOut, AT_SYMLINK_NOFOLLOW) == 0 &&
        IsSameVersion(FactsOf(takenOut), FactsOf(*destination.existing), stable)) {
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
        return CopyOutcome::KeepingFailed(kept.Error());
    }
    // A file saved in the instant since the check went to the trash instead: the rollback puts it back.
    if (!kept.Holds(FactsOf(*destination.existing))) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    if (auto problem = CheckPlace(destination, std::nullopt, {})) {
        return problem;
    }
    return AddFile(temporary, destination);
}

std::optional<CopyOutcome> PutInPlace(TemporarySibling& temporary, const Destination& destination,
                                      std::optional<TrashEntry>& kept, bool keptAhead, StableFacts stable) {
    if (!destination.existing) {
        return AddFile(temporary, destination);
    }
    auto problem = kept && !keptAhead ? MoveAsideAndAdd(temporary, destination, *kept)
                                      : ReplaceFile(temporary, destination, stable);
    if (!problem && kept) {
        kept->Confirm();
    }
    return problem;
}

// Some file systems (fusefat among them) stamp the current time on a file when it is renamed, so the time is set
// again on the file, still open; the copy itself has succeeded either way. What the file in place shows is what
// later comparisons trust: when it cannot be read, what the temporary file showed before it took its place.
// The time read back also tells the step its file system keeps.
CopyOutcome Finish(const TemporarySibling& temporary, const struct stat& source, const struct stat& prepared,
                   ReplacedFile replaced) {
    (void)::futimens(temporary.Fd(), TimesOf(source).data());
    struct stat written {};
    if (::fstat(temporary.Fd(), &written) != 0) {
        return CopyOutcome::Copied(FactsOf(prepared), replaced);
    }
    const FileFacts facts = FactsOf(written);
    LearnTimeStep(posix::FileSystemKeyOf(temporary.Fd()), FactsOf(source).lastWriteTime, facts.lastWriteTime);
    return CopyOutcome::Copied(facts, replaced);
}

void Tell(const CopyRequest& request, CopyStage stage) {
    if (request.onStage) {
        request.onStage(stage);
    }
}

// A copy of a batch, from its data written to its commit. It keeps two files open: the destination's folder and
// the temporary file, which stays locked so that no pass takes it for a leftover.
struct PendingCopy {
    explicit PendingCopy(const CopyRequest& asked) : request(asked) {}

    CopyRequest request;
    std::optional<CopyOutcome> ended; // refused or failed: nothing more is done
    struct stat source {};            // the source as opened
    struct stat prepared {};          // the temporary file once filled
    Destination destination;
    std::unique_ptr<TemporarySibling> temporary;
    std::optional<TrashEntry> kept;
    bool keptAhead = false;    // the old file is kept by a hard link or a copy, made before the flush
    dev_t device = 0;          // of the temporary file
    bool flushedAlone = false; // its file system does not pass syncfs on (FUSE): fsync the file itself
};

// Whatever the copy did not confirm, the trash entry's end takes back out of the trash; then the temporary file
// goes, unless it took the destination's name, and the folder is closed.
void Release(PendingCopy& copy) {
    copy.kept.reset();
    copy.temporary.reset();
    copy.destination = Destination{};
}

// FUSE's kernel side passes syncfs by: only an fsync reaches the daemon that holds the data.
bool IsFlushedAlone(int fd) {
    struct statfs system {};
    return ::fstatfs(fd, &system) == 0 && system.f_type == FUSE_SUPER_MAGIC;
}

std::optional<CopyOutcome> Prepare(PendingCopy& copy, StableFactsSeen& seen) {
    SourceFile source;
    if (auto problem = OpenSource(copy.request, source)) {
        return problem;
    }
    if (auto problem = FindDestination(copy.request, source.info, copy.destination, &seen)) {
        return problem;
    }
    copy.temporary = std::make_unique<TemporarySibling>(copy.destination.folder.Get());
    if (!copy.temporary->Valid()) {
        return CopyOutcome::Failed(CopyStep::MakeTemporary, copy.temporary->Error());
    }
    if (auto problem = Fill(*copy.temporary, source, copy.destination)) {
        return problem;
    }
    if (::fstat(copy.temporary->Fd(), &copy.prepared) != 0) {
        return CopyOutcome::Failed(CopyStep::ExamineTemporary, errno);
    }
    copy.source = source.info;
    copy.device = copy.prepared.st_dev;
    copy.flushedAlone = IsFlushedAlone(copy.temporary->Fd());
    Tell(copy.request, CopyStage::DataWritten);
    return std::nullopt;
}

// The old file is linked into the trash before the flush, which makes the link and its .trashinfo durable with the
// batch's data, and before the checks, so that the check of the destination vouches for what the trash holds; a
// trash on another device or mount takes a copy, flushed there. Where links are refused (FAT), the file is moved
// there after the checks.
std::optional<CopyOutcome> KeepInTrash(PendingCopy& copy) {
    if (!copy.request.keepReplaced || !copy.destination.existing) {
        return std::nullopt;
    }
    // Gone or replaced while the data was written: not the file to keep, nor to replace.
    if (auto problem = CheckPlace(copy.destination, copy.destination.existing, copy.destination.stable)) {
        return problem;
    }
    if (auto problem = ReserveKeeping(copy.destination, copy.kept, !copy.flushedAlone, copy.destination.stable)) {
        return problem;
    }
    copy.keptAhead = copy.kept->KeepByLink();
    if (!copy.keptAhead && copy.kept->NeedsCopy()) {
        if (!copy.kept->KeepByCopy()) {
            return CopyOutcome::KeepingFailed(copy.kept->Error());
        }
        copy.keptAhead = true;
    }
    return std::nullopt;
}

// One syncfs per file system, on the batch's first temporary file there: it reports every error of writing back
// since that file was opened, which covers all the copies of the batch on that file system.
void FlushTogether(std::deque<PendingCopy>& copies) {
    std::unordered_map<dev_t, int> flushed; // error of each file system's syncfs
    for (PendingCopy& copy : copies) {
        if (copy.ended) {
            continue;
        }
        int error = 0;
        if (copy.flushedAlone) {
            error = copy.temporary->Flush();
        } else if (const auto [at, first] = flushed.try_emplace(copy.device, 0); first) {
            error = at->second = ::syncfs(copy.temporary->Fd()) == 0 ? 0 : errno;
        } else {
            error = at->second;
        }
        if (error != 0) {
            copy.ended = CopyOutcome::Failed(CopyStep::Flush, error);
        }
    }
}

CopyOutcome CheckAndPutInPlace(PendingCopy& copy) {
    if (auto problem = CheckSourceUnchanged(copy.request, copy.source)) {
        return *problem;
    }
    if (auto problem = CheckPlace(copy.destination, copy.destination.existing, copy.destination.stable)) {
        return *problem;
    }
    if (copy.keptAhead && !copy.kept->Holds(FactsOf(*copy.destination.existing))) {
        return CopyOutcome::Refused(Refusal::DestinationChanged);
    }
    Tell(copy.request, CopyStage::Checked);
    if (auto problem =
            PutInPlace(*copy.temporary, copy.destination, copy.kept, copy.keptAhead, copy.destination.stable)) {
        return *problem;
    }
    return Finish(*copy.temporary, copy.source, copy.prepared, copy.kept ? ReplacedFile::Kept : ReplacedFile::NotAsked);
}

// Enough copies to pay for a flush many times over; the bytes bound the dirty data a flush waits for.
constexpr std::size_t kMostCopies = 256;
constexpr std::uint64_t kMostBytes = std::uint64_t{64} << 20;
// Files the rest of the program may hold open while a batch waits.
constexpr rlim_t kFilesForTheRest = 64;

std::size_t CopiesOpenAtOnce() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return kMostCopies;
    }
    const rlim_t spare = limit.rlim_cur > kFilesForTheRest ? limit.rlim_cur - kFilesForTheRest : 0;
    return std::clamp<std::size_t>(static_cast<std::size_t>(spare / 2), 1, kMostCopies);
}

} // namespace

struct CopyBatch::State {
    std::deque<PendingCopy> pending;
    StableFactsSeen stable;
    std::uint64_t bytes = 0;
    std::size_t mostCopies = CopiesOpenAtOnce();
};

CopyBatch::CopyBatch() : state_(std::make_unique<State>()) {}

CopyBatch::~CopyBatch() = default;

void CopyBatch::Add(const CopyRequest& request) {
    PendingCopy& copy = state_->pending.emplace_back(request);
    try {
        copy.ended = Prepare(copy, state_->stable);
    } catch (const std::exception& e) {
        copy.ended = CopyOutcome::FailedBy(e.what());
    }
    if (copy.ended) {
        Release(copy);
    } else {
        state_->bytes += static_cast<std::uint64_t>(copy.source.st_size);
    }
}

void CopyBatch::AddEnded(const CopyRequest& request, const CopyOutcome& outcome) {
    state_->pending.emplace_back(request).ended = outcome;
}

std::size_t CopyBatch::Size() const {
    return state_->pending.size();
}

bool CopyBatch::Full() const {
    return state_->pending.size() >= state_->mostCopies || state_->bytes >= kMostBytes;
}

void CopyBatch::Commit(const Told& told) {
    std::deque<PendingCopy> copies = std::exchange(state_->pending, {});
    state_->bytes = 0;
    for (PendingCopy& copy : copies) {
        if (!copy.ended) {
            copy.ended = KeepInTrash(copy);
        }
    }
    FlushTogether(copies);
    for (PendingCopy& copy : copies) {
        try {
            if (!copy.ended) {
                copy.ended = CheckAndPutInPlace(copy);
            }
        } catch (const std::exception& e) {
            copy.ended = CopyOutcome::FailedBy(e.what());
        }
        Release(copy);
        told(copy.request, *copy.ended);
    }
}

CopyOutcome CopyFileFailSafe(const CopyRequest& request) {
    CopyBatch batch;
    batch.Add(request);
    CopyOutcome outcome;
    batch.Commit([&](const CopyRequest&, const CopyOutcome& told) { outcome = told; });
    return outcome;
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
    return FindDestination(request, source, destination, nullptr);
}

} // namespace quillmere::platform
