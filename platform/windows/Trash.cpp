// SPDX-License-Identifier: GPL-3.0-or-later
// The Recycle Bin: the shell moves a file from its place into the bin, which remembers the place for a restore.
// The shell deletes outright what it cannot recycle and reports success (Windows on some drives, Wine where it
// cannot make its trash), so a hard link beside the file holds its data until the bin is known to have it: the
// bin has it when the link count shows a second name. Wine copies a file from another device than its trash's
// into the trash; the count then says "not kept" and the file is put back, leaving a spare copy in the bin.
#include "platform/Trash.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <optional>
#include <vector>

namespace quillmere::platform {

namespace {

// Hard links are refused on FAT and exFAT: without one the bin cannot be checked, so the file is not sent.
bool MeansNoHardLinks(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return windows::ToUtf8(message).value_or("") + " (error " + std::to_string(error) + ")";
}

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(size + 1);
    if (size == 0 || GetFullPathNameW(path.c_str(), size + 1, full.data(), nullptr) == 0)
        return std::nullopt;
    return std::wstring(full.data());
}

// Removable and network drives, CDs and RAM disks keep no Recycle Bin; fixed drives do.
bool DriveKeepsARecycleBin(const std::wstring& fullPath) {
    std::vector<wchar_t> root(fullPath.size() + 2);
    return GetVolumePathNameW(fullPath.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
           GetDriveTypeW(root.data()) == DRIVE_FIXED;
}

std::wstring FolderPartOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

DWORD LinkCountOf(const std::wstring& path) {
    windows::FileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file.valid() && GetFileInformationByHandle(file.get(), &info) ? info.nNumberOfLinks : 0;
}

// The shell's own result is not worth asking: it reports success for a file it deleted instead. What happened
// is told by the file's place and the backup's link count.
void Recycle(const std::wstring& fullPath) {
    const std::wstring list = fullPath + L'\0'; // the shell takes a list ending in two NULs
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI;
    SHFileOperationW(&operation);
}

} // namespace

struct TrashEntry::State {
    enum class Stage { Unreserved, Reserved, Moved, Done };

    std::string file;
    std::wstring fullPath;
    std::wstring backup; // the hard link beside the file while it goes to the bin
    Stage stage = Stage::Unreserved;
    TrashFailure failure = TrashFailure::None;
    std::string error;

    bool Fail(TrashFailure kind, std::string why) {
        failure = kind;
        error = std::move(why);
        return false;
    }

    void Reserve() {
        const auto wide = windows::ToWide(file);
        const auto full = wide && !wide->empty() ? FullPathOf(*wide) : std::nullopt;
        if (!full) {
            Fail(TrashFailure::Failed, "\"" + file + "\" is no path");
            return;
        }
        // The Recycle Bin takes no path of the classic limit or more (the shell refuses it as too long to recycle),
        // and the shell parses no long form: such a file cannot be kept, so it is not replaced.
        if (full->size() >= windows::kClassicPathLimit) {
            Fail(TrashFailure::Failed, "the Recycle Bin takes no path of " +
                                           std::to_string(windows::kClassicPathLimit) + " characters or more");
            return;
        }
        const DWORD attributes = GetFileAttributesW(full->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            Fail(TrashFailure::Failed, "cannot examine " + file + ": " + SystemMessage(GetLastError()));
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            Fail(TrashFailure::Failed, file + " is not a file");
        } else if (!DriveKeepsARecycleBin(*full)) {
            Fail(TrashFailure::NoTrash, "the drive of " + file + " has no Recycle Bin");
        } else {
            fullPath = *full;
            stage = Stage::Reserved;
        }
    }

    // A "~" name, which a pass never takes for a file to synchronize should one be left behind.
    bool LinkBackup() {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            backup = FolderPartOf(fullPath) + L"~qm" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(counter++) + L".kept";
            if (CreateHardLinkW(backup.c_str(), fullPath.c_str(), nullptr))
                return true;
            const DWORD reason = GetLastError();
            if (reason != ERROR_ALREADY_EXISTS)
                return Fail(MeansNoHardLinks(reason) ? TrashFailure::NoTrash : TrashFailure::Failed,
                            "cannot keep " + file +
                                " safely while it goes to the Recycle Bin: " + SystemMessage(reason));
        }
        return Fail(TrashFailure::Failed, "no free name beside " + file);
    }

    // The backup may go once the bin holds a second name of the same data (the bin may have been emptied since).
    void DropBackupIfRecycled() {
        if (LinkCountOf(backup) >= 2)
            DeleteFileW(backup.c_str());
    }

    bool PutBackupInPlace() { return MoveFileExW(backup.c_str(), fullPath.c_str(), MOVEFILE_WRITE_THROUGH) != 0; }

    bool MoveToBin() {
        if (!LinkBackup())
            return false;
        Recycle(fullPath);
        if (GetFileAttributesW(fullPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(backup.c_str()); // a second name of the file still in place
            return Fail(TrashFailure::Failed, "the shell could not move " + file + " to the Recycle Bin");
        }
        if (LinkCountOf(backup) >= 2) {
            stage = Stage::Moved;
            failure = TrashFailure::None;
            error.clear();
            return true;
        }
        // Deleted, not recycled: the backup is the only copy left, and goes back to its place.
        stage = Stage::Done;
        if (!PutBackupInPlace())
            return Fail(TrashFailure::Failed, "the Recycle Bin did not take " + file + ", and it could not be put " +
                                                  "back: " + SystemMessage(GetLastError()));
        return Fail(TrashFailure::NoTrash, "the Recycle Bin did not take " + file);
    }
};

TrashEntry::TrashEntry(const std::string& file) : state_(std::make_unique<State>()) {
    state_->file = file;
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

bool TrashEntry::KeepByMove() {
    State& entry = *state_;
    if (entry.stage == State::Stage::Reserved)
        return entry.MoveToBin();
    // An entry that could not be reserved keeps the reason it gave.
    if (entry.failure == TrashFailure::None)
        entry.Fail(TrashFailure::Failed, entry.file + " is not waiting to go to the Recycle Bin");
    return false;
}

void TrashEntry::Confirm() {
    State& entry = *state_;
    if (entry.stage == State::Stage::Moved) {
        entry.DropBackupIfRecycled();
        entry.stage = State::Stage::Done;
    }
}

bool TrashEntry::Rollback() {
    State& entry = *state_;
    if (entry.stage != State::Stage::Moved) {
        entry.stage = State::Stage::Done;
        return true;
    }
    entry.stage = State::Stage::Done;
    // Back in place; the bin keeps its entry too (a second name of the same data), which the shell gives no
    // way to take back.
    if (!entry.PutBackupInPlace()) {
        const std::string reason = SystemMessage(GetLastError());
        entry.DropBackupIfRecycled();
        return entry.Fail(TrashFailure::Failed,
                          "cannot put " + entry.file + " back; it stays in the Recycle Bin: " + reason);
    }
    return true;
}

std::optional<std::string> HomeTrashFolder() {
    return std::nullopt;
}

} // namespace quillmere::platform
