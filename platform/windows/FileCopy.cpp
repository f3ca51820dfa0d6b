// SPDX-License-Identifier: GPL-3.0-or-later
// The one write the program makes to the synchronized folders, in stages: open and check the source, check the
// destination, fill and flush a locked temporary file beside it, check both again, let the Recycle Bin take the
// file it replaces when asked, move it into place.
#include "platform/FileCopy.h"
#include "platform/CopyRules.h"
#include "platform/TemporaryName.h"
#include "platform/TimeStepLearning.h"
#include "platform/Trash.h"
#include "platform/windows/CopyData.h"
#include "platform/windows/HandleFacts.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::platform {

using windows::FileHandle;

namespace {

// The attributes a copy carries over, as the system's own file copy does.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

CopyOutcome FailedNow(CopyStep step) {
    return CopyOutcome::Failed(step, static_cast<int>(GetLastError()));
}

std::optional<CopyOutcome> RefusedFor(std::optional<Refusal> refusal) {
    return refusal ? std::optional<CopyOutcome>(CopyOutcome::Refused(*refusal)) : std::nullopt;
}

std::wstring FolderPartOf(const std::wstring& path) {
    const auto last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

// The whole file, exclusively: a pass meeting a temporary file it cannot lock knows a copy still holds it.
bool LockWhole(HANDLE file) {
    OVERLAPPED from{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from);
}

bool SetAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    // 0 would leave the attributes as they are; "normal" clears them.
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// A new file of its own beside the destination, named by TemporaryName and locked while it lives. CREATE_NEW
// never opens a file someone else made; sharing nothing but deletion keeps every other program (and a pass
// clearing leftovers) out, yet lets the file be moved into place while it is still open and locked.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& folder) : file_(INVALID_HANDLE_VALUE) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && !file_.valid(); ++attempt) {
            const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
            path_ = windows::LongPathForm(folder + *windows::ToWide(TemporaryName(unique)));
            file_ = FileHandle(CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            error_ = file_.valid() ? 0 : GetLastError();
            if (error_ != ERROR_FILE_EXISTS)
                break;
        }
        if (file_.valid() && !LockWhole(file_.get())) {
            error_ = GetLastError();
            Discard();
        }
    }
    ~TemporaryFile() { Discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool valid() const { return file_.valid(); }
    DWORD error() const { return error_; }
    HANDLE get() const { return file_.get(); }

    // Moves the file, still open, to destination; 0 or the system's error. Without replace, a file of that name
    // is never replaced (ERROR_ALREADY_EXISTS).
    DWORD MoveTo(const std::wstring& destination, bool replace) {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        if (!MoveFileExW(path_.c_str(), destination.c_str(), flags))
            return GetLastError();
        inPlace_ = true;
        return 0;
    }

private:
    // Deleted through its own handle, read-only or not, once closed.
    void Discard() {
        if (!file_.valid() || inPlace_)
            return;
        FILE_DISPOSITION_INFO dispose{TRUE};
        SetAttributes(file_.get(), FILE_ATTRIBUTE_NORMAL);
        SetFileInformationByHandle(file_.get(), FileDispositionInfo, &dispose, sizeof dispose);
        file_.reset();
    }

    std::wstring path_;
    FileHandle file_;
    DWORD error_ = 0;
    bool inPlace_ = false;
};

struct SourceFile {
    std::wstring path;
    FileHandle file{INVALID_HANDLE_VALUE};
    BY_HANDLE_FILE_INFORMATION info{};
    FileFacts facts;
};

struct Destination {
    std::wstring path;
    std::optional<FileFacts> existing;
};

// Opened for reading, shared only with readers: no one writes to the source while it is copied.
std::optional<CopyOutcome> OpenSource(const CopyRequest& request, SourceFile& source) {
    const auto wide = windows::ToWidePath(request.source);
    if (!wide || wide->empty())
        return CopyOutcome::Refused(Refusal::NotAFile);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CopyOutcome::Refused(Refusal::NotAFile);
    source.path = *wide;
    source.file = FileHandle(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source.file.valid() || !GetFileInformationByHandle(source.file.get(), &source.info))
        return FailedNow(CopyStep::OpenSource);
    const std::optional<FileFacts> facts = windows::FactsOfHandle(source.file.get());
    if (!facts)
        return FailedNow(CopyStep::OpenSource);
    const EntryKind kind =
        (source.info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::NotAFile : EntryKind::File;
    if (auto refused = RefusedFor(JudgeSource(kind, *facts, request.sourceAsCompared)))
        return refused;
    source.facts = *facts;
    return std::nullopt;
}

std::optional<CopyOutcome> FindDestination(const CopyRequest& request, const FileFacts* source,
                                           Destination& destination) {
    const auto wide = windows::ToWidePath(request.destination);
    if (!wide || wide->empty())
        return CopyOutcome::Refused(Refusal::NotAFile);
    destination.path = *wide;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    SeenEntry seen;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return FailedNow(CopyStep::ReachDestination); // the folder is missing, or cannot be examined
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        seen.kind = EntryKind::NotAFile;
    } else {
        destination.existing = ReadFileFacts(request.destination);
        if (!destination.existing)
            return FailedNow(CopyStep::ExamineDestination);
        seen = SeenEntry{EntryKind::File, *destination.existing, (attributes & FILE_ATTRIBUTE_READONLY) != 0};
    }
    const bool isTheSource =
        destination.existing && source != nullptr && destination.existing->identity == source->identity;
    return RefusedFor(JudgeDestination(seen, isTheSource, request.destinationAsCompared, StableFacts{}));
}

// Data, time, flushed to the disk, attributes last: a read-only attribute binds every later opening, not this
// handle, so the file can still be moved and its time set again.
std::optional<CopyOutcome> Fill(TemporaryFile& temporary, const SourceFile& source) {
    if (!windows::CopyData(source.file.get(), temporary.get(), source.info) ||
        !SetFileTime(temporary.get(), nullptr, nullptr, &source.info.ftLastWriteTime) ||
        !FlushFileBuffers(temporary.get()) ||
        !SetAttributes(temporary.get(), source.info.dwFileAttributes & kCopiedAttributes))
        return FailedNow(CopyStep::WriteTemporary);
    return std::nullopt;
}

std::optional<CopyOutcome> CheckSourceUnchanged(const CopyRequest& request, const SourceFile& source) {
    return RefusedFor(JudgeSourceAgain(ReadFileFacts(request.source), source.facts));
}

std::optional<CopyOutcome> CheckDestinationUnchanged(const CopyRequest& request, const Destination& destination) {
    return RefusedFor(JudgePlace(ReadFileFacts(request.destination), destination.existing, StableFacts{}));
}

// A drive without a Recycle Bin (removable, network) still gets the replacement, and the outcome says the old file
// could not be kept; any other failure to keep it is the copy's, and nothing is replaced.
std::optional<CopyOutcome> SendToRecycleBin(std::optional<TrashEntry>& kept, ReplacedFile& replaced) {
    if (!kept) {
        return std::nullopt;
    }
    if (kept->Reserved() && kept->KeepByMove()) {
        replaced = ReplacedFile::Kept;
        return std::nullopt;
    }
    if (kept->Failure() == TrashFailure::NoTrash) {
        replaced = ReplacedFile::ReplacedUnkept;
        return std::nullopt;
    }
    return CopyOutcome::KeepingFailed(kept->Error());
}

// Without replace, a file that appeared since the check is kept: an addition, or a replacement whose old file
// the Recycle Bin has taken. A plain replacement has no atomic swap on Windows: the check just made is all there
// is.
std::optional<CopyOutcome> MoveIntoPlace(TemporaryFile& temporary, const Destination& destination, bool replace) {
    const DWORD error = temporary.MoveTo(destination.path, replace);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return CopyOutcome::Refused(Refusal::DestinationExists);
    return error != 0 ? std::optional<CopyOutcome>(CopyOutcome::Failed(CopyStep::PutInPlace, static_cast<int>(error)))
                      : std::nullopt;
}

// Some file systems (FUSE and network ones among them) stamp the time of the rename on the file, so the time is
// set again on the file, still open. When the file in place cannot be read, what the temporary file showed before
// is what later comparisons trust.
CopyOutcome Finish(const TemporaryFile& temporary, const SourceFile& source, const FileFacts& prepared,
                   ReplacedFile replaced) {
    SetFileTime(temporary.get(), nullptr, nullptr, &source.info.ftLastWriteTime);
    const std::optional<FileFacts> written = windows::FactsOfHandle(temporary.get());
    if (written)
        LearnTimeStep(written->identity.device, source.facts.lastWriteTime, written->lastWriteTime);
    return CopyOutcome::Copied(written.value_or(prepared), replaced);
}

void Tell(const CopyRequest& request, CopyStage stage) {
    if (request.onStage)
        request.onStage(stage);
}

} // namespace

CopyOutcome CopyFileFailSafe(const CopyRequest& request) {
    SourceFile source;
    Destination destination;
    if (auto problem = OpenSource(request, source))
        return *problem;
    if (auto problem = FindDestination(request, &source.facts, destination))
        return *problem;
    // Asked before any data is copied; whatever the copy does not confirm, the entry's end takes back out of the
    // Recycle Bin.
    std::optional<TrashEntry> kept;
    if (request.keepReplaced && destination.existing) {
        kept.emplace(request.destination);
        if (kept->Failure() == TrashFailure::Failed)
            return CopyOutcome::KeepingFailed(kept->Error());
    }
    TemporaryFile temporary(FolderPartOf(destination.path));
    if (!temporary.valid())
        return CopyOutcome::Failed(CopyStep::MakeTemporary, static_cast<int>(temporary.error()));
    if (auto problem = Fill(temporary, source))
        return *problem;
    const std::optional<FileFacts> prepared = windows::FactsOfHandle(temporary.get());
    if (!prepared)
        return FailedNow(CopyStep::ExamineTemporary);
    Tell(request, CopyStage::DataWritten);
    if (auto problem = CheckSourceUnchanged(request, source))
        return *problem;
    if (auto problem = CheckDestinationUnchanged(request, destination))
        return *problem;
    Tell(request, CopyStage::Checked);
    ReplacedFile replaced = ReplacedFile::NotAsked;
    if (auto problem = SendToRecycleBin(kept, replaced))
        return *problem;
    if (auto problem = MoveIntoPlace(temporary, destination, destination.existing && replaced != ReplacedFile::Kept))
        return *problem;
    if (kept)
        kept->Confirm();
    CopyOutcome outcome = Finish(temporary, source, *prepared, replaced);
    if (replaced == ReplacedFile::ReplacedUnkept)
        outcome.cause = "the replaced file could not be kept: " + kept->Error();
    return outcome;
}

// Each copy here flushes its own file (FlushFileBuffers) before it takes the destination's place, so a batch
// holds one request and makes the copy when committed.
struct CopyBatch::State {
    std::vector<std::pair<CopyRequest, std::optional<CopyOutcome>>> copies; // an outcome: ended before it began
};

CopyBatch::CopyBatch() : state_(std::make_unique<State>()) {}

CopyBatch::~CopyBatch() = default;

void CopyBatch::Add(const CopyRequest& request) {
    state_->copies.emplace_back(request, std::nullopt);
}

void CopyBatch::AddEnded(const CopyRequest& request, const CopyOutcome& outcome) {
    state_->copies.emplace_back(request, outcome);
}

std::size_t CopyBatch::Size() const {
    return state_->copies.size();
}

bool CopyBatch::Full() const {
    return !state_->copies.empty();
}

void CopyBatch::Commit(const Told& told) {
    const auto copies = std::exchange(state_->copies, {});
    for (const auto& [request, ended] : copies) {
        CopyOutcome outcome;
        try {
            outcome = ended ? *ended : CopyFileFailSafe(request);
        } catch (const std::exception& e) {
            outcome = CopyOutcome::FailedBy(e.what());
        }
        told(request, outcome);
    }
}

std::optional<CopyOutcome> CheckCopySource(const CopyRequest& request) {
    SourceFile source;
    return OpenSource(request, source);
}

std::optional<CopyOutcome> CheckCopyDestination(const CopyRequest& request) {
    const std::optional<FileFacts> source = ReadFileFacts(request.source);
    Destination destination;
    return FindDestination(request, source ? &*source : nullptr, destination);
}

bool RemoveLeftoverTemporary(const std::string& path) {
    const auto last = path.find_last_of("\\/");
    const auto wide = windows::ToWidePath(path);
    if (!IsTemporaryName(last == std::string::npos ? path : path.substr(last + 1)) || !wide)
        return false;
    // A copy's own handle shares nothing but deletion, so this opening fails while a copy holds the file; a link
    // is opened as itself and left alone.
    const FileHandle file(CreateFileW(wide->c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) || !LockWhole(file.get()))
        return false;
    FILE_DISPOSITION_INFO dispose{TRUE};
    return SetAttributes(file.get(), FILE_ATTRIBUTE_NORMAL) &&
           SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

void IgnoreFileSizeLimitSignal() {
    // Windows has no such signal: a file too large fails its write like any other.
}

} // namespace quillmere::platform
