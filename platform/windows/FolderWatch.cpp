// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows folder watch: ReadDirectoryChangesW over each top folder's whole subtree, over each linked folder
// in it (a subtree's news stops at a link), and over the top's parent for the top's leaving. One completion port
// carries every watch's news to a thread of the watch's own, which waits there while nothing changes.
#include "platform/FolderWatch.h"

#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "platform/WatchDoubts.h"
#include "platform/WatchRecords.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace quillmere::platform {

namespace {

using windows::FileHandle;

constexpr DWORD kSubtreeChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
    FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION | FILE_NOTIFY_CHANGE_SECURITY;
constexpr ULONG_PTR kStopKey = 0;

enum class RootKind { Tree, Above };

// One ReadDirectoryChangesW in flight. Network redirectors take at most 64 KiB at once.
struct Root {
    std::size_t tree;
    RootKind kind;
    std::string folder; // the walk's form, ending in "\"
    FileHandle handle{INVALID_HANDLE_VALUE};
    OVERLAPPED overlapped{};
    alignas(DWORD) std::array<char, 64 * 1024> buffer{};
    bool pending = false; // a read is in flight: the root lives until its completion comes
    bool closing = false;
};

// The top as the system names it, with "\" only: a folder typed "C:/Users/me/Docs" still has its parent watched.
std::string WindowsForm(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

struct Tree {
    explicit Tree(const std::string& folder) : top(folder), watchedTop(WindowsForm(folder)), seen(folder) {}
    std::string top;        // the walk's form, which every folder named starts with
    std::string watchedTop; // the top's own name for its leaving
    SeenFolders seen;
    std::set<std::string> changed;
    std::optional<WatchDoubt> doubt;
};

// Asked without the folder's last "\": Wine, as POSIX does, follows a link named with one, and then shows no
// reparse point.
DWORD AttributesOf(const std::string& path) {
    const bool lastSeparator = path.size() > 3 && (path.back() == '\\' || path.back() == '/');
    const auto wide = windows::ToWidePath(lastSeparator ? path.substr(0, path.size() - 1) : path);
    return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A link to a folder on its own path (a junction or symbolic link to its parent, say), which the listing does
// not enter either: walked, the tree below it would be walked again and again, and twice as often for each more
// such link. Only links are asked, and only then is each folder on the path opened.
bool LeadsBackUp(const std::string& link) {
    const std::optional<FileIdentity> identity = ReadFolderIdentity(link);
    if (!identity) {
        return false;
    }
    // Each folder above it: the path up to each separator past the leading ones (a lone "\" names the current
    // drive's root, not a share's). The link's own last separator is not looked at.
    for (std::size_t end = link.find_first_of("\\/", link.find_first_not_of("\\/"));
         end != std::string::npos && end + 1 < link.size(); end = link.find_first_of("\\/", end + 1)) {
        if (ReadFolderIdentity(link.substr(0, end + 1)) == identity) {
            return true;
        }
    }
    return false;
}

std::wstring LongPathOf(const std::wstring& path) {
    std::wstring full(32 * 1024, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
    return length > 0 && length < full.size() ? full.substr(0, length) : path;
}

// A name the system reported in its short form ("PROGRA~1") is given its long one while it still exists; the
// watched folder keeps the form the walk gave it.
std::wstring LongNameBelow(const std::wstring& watched, const std::wstring& relative) {
    if (relative.find(L'~') == std::wstring::npos) {
        return relative;
    }
    const std::wstring full = LongPathOf(watched + relative);
    const std::wstring longWatched = LongPathOf(watched);
    return full.size() > longWatched.size() && full.starts_with(longWatched) ? full.substr(longWatched.size())
                                                                             : relative;
}

// Letter case does not tell folders apart here.
bool IsSameFolder(const std::string& one, const std::string& other) {
    const auto wideOne = windows::ToWide(one);
    const auto wideOther = windows::ToWide(other);
    return wideOne && wideOther &&
           CompareStringOrdinal(wideOne->c_str(), static_cast<int>(wideOne->size()), wideOther->c_str(),
                                static_cast<int>(wideOther->size()), TRUE) == CSTR_EQUAL;
}

// A drive's trash lies in its top folder, so only the first name below a watched folder can be one.
bool IsInTrash(const std::string& watched, const std::string& path) {
    const std::string relative = path.substr(watched.size());
    return IsTrashOfDrive(watched, relative.substr(0, relative.find('\\')));
}

bool IsRemote(const std::string& folder) {
    const auto wide = windows::ToWidePath(folder);
    std::wstring volume(MAX_PATH + 1, L'\0');
    if (!wide || !GetVolumePathNameW(wide->c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        return folder.starts_with("\\\\");
    }
    return GetDriveTypeW(volume.c_str()) == DRIVE_REMOTE;
}

EntryChange ChangeOf(DWORD action) {
    switch (action) {
    case FILE_ACTION_ADDED:
        return EntryChange::Arrived;
    case FILE_ACTION_REMOVED:
        return EntryChange::Left;
    case FILE_ACTION_RENAMED_OLD_NAME:
        return EntryChange::RenamedFrom;
    case FILE_ACTION_RENAMED_NEW_NAME:
        return EntryChange::RenamedTo;
    default:
        return EntryChange::Changed;
    }
}

} // namespace

struct FolderWatch::State {
    std::mutex mutex;
    std::vector<Tree> trees;
    std::vector<std::unique_ptr<Root>> roots;
    FileHandle port{CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)};
    FileHandle newsEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    FileHandle wakeEvent{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::thread reader;
    bool news = false;
    std::atomic<bool> stopping{false}; // the watch is ending: walks stop, no watch is added

    // Under the lock, as every function here that changes the state.
    void Name(std::size_t tree, const std::string& folder) {
        if (folder.starts_with(trees[tree].top) && trees[tree].changed.insert(folder).second) {
            news = true;
            SetEvent(newsEvent.get());
        }
    }

    void Doubt(std::size_t tree, const WatchDoubt& doubt) {
        if (!trees[tree].doubt) {
            trees[tree].doubt = doubt;
            news = true;
            SetEvent(newsEvent.get());
        }
    }

    bool Read(Root& root) {
        root.overlapped = OVERLAPPED{};
        const bool subtree = root.kind == RootKind::Tree;
        root.pending =
            ReadDirectoryChangesW(root.handle.get(), root.buffer.data(), static_cast<DWORD>(root.buffer.size()),
                                  subtree, subtree ? kSubtreeChanges : FILE_NOTIFY_CHANGE_DIR_NAME, nullptr,
                                  &root.overlapped, nullptr) != 0;
        return root.pending;
    }

    // Opens a watch on folder; false with the system's error when it cannot be had.
    bool AddRoot(std::size_t tree, RootKind kind, const std::string& folder, DWORD& error) {
        const auto wide = windows::ToWidePath(folder);
        auto root = std::make_unique<Root>();
        root->tree = tree;
        root->kind = kind;
        root->folder = folder;
        root->handle =
            FileHandle(wide ? CreateFileW(wide->c_str(), FILE_LIST_DIRECTORY,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)
                            : INVALID_HANDLE_VALUE);
        if (!root->handle.valid() ||
            !CreateIoCompletionPort(root->handle.get(), port.get(), reinterpret_cast<ULONG_PTR>(root.get()), 0) ||
            !Read(*root)) {
            error = wide ? GetLastError() : ERROR_INVALID_NAME;
            return false;
        }
        roots.push_back(std::move(root));
        return true;
    }

    // False when the top folder cannot be watched.
    bool WatchTop(std::size_t tree) {
        const std::string& top = trees[tree].top;
        DWORD error = 0;
        if (!AddRoot(tree, RootKind::Tree, top, error)) {
            const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            Doubt(tree,
                  gone ? detail::FolderGone() : detail::FolderNotWatched(top, SystemMessage(static_cast<int>(error))));
            return false;
        }
        if (IsRemote(top)) {
            Doubt(tree, detail::ChangesFromElsewhere("a network folder"));
        }
        const std::string parent = FolderHolding(trees[tree].watchedTop);
        if (!parent.empty()) {
            AddRoot(tree, RootKind::Above, parent, error); // best effort: only the top's renaming goes unseen
        }
        return true;
    }

    void Close(Root& root) {
        root.closing = true;
        if (root.pending) {
            CancelIoEx(root.handle.get(), &root.overlapped); // its completion comes to the thread, which ends it
        }
    }

    void EndClosedRoots() {
        std::erase_if(roots, [](const auto& root) { return root->closing && !root->pending; });
    }

    void ApplyRecords(Root& root, DWORD bytes, std::vector<std::string>& walks);
    void Complete(Root& root, BOOL ok, DWORD bytes);
    void Run();
    void StartAfresh(std::size_t tree, const std::stop_token& cut);
    // cut: a set-up's stop request, which ends the walk between folders as stopping does.
    void Walk(std::size_t tree, const std::string& start, bool name, const std::stop_token& cut = {});

    bool IsWatchedRoot(std::size_t tree, const std::string& folder) const {
        return std::any_of(roots.begin(), roots.end(), [&](const auto& root) {
            return root->tree == tree && root->kind == RootKind::Tree && !root->closing && root->folder == folder;
        });
    }
};

void FolderWatch::State::ApplyRecords(Root& root, DWORD bytes, std::vector<std::string>& walks) {
    const auto prefix = windows::ToWide(root.folder);
    if (!prefix) {
        return;
    }
    Tree& tree = trees[root.tree];
    std::vector<EntryRecord> entries;
    for (const NotifyRecord& record : ReadNotifyRecords(root.buffer.data(), bytes)) {
        const std::wstring relative(record.name.begin(), record.name.end());
        const auto path = windows::ToUtf8(*prefix + LongNameBelow(*prefix, relative));
        const EntryChange change = ChangeOf(record.action);
        if (!path || IsInTrash(root.folder, *path)) {
            // a trash is never walked, so nothing in it is news
        } else if (root.kind == RootKind::Above) {
            const bool arrived = change == EntryChange::Arrived || change == EntryChange::RenamedTo;
            if (!arrived && IsSameFolder(*path + "\\", tree.watchedTop)) {
                Doubt(root.tree, detail::FolderGone());
            }
        } else {
            entries.push_back(EntryRecord{*path + "\\", change});
        }
    }
    RecordsNamed named = tree.seen.Take(entries);
    for (const std::string& folder : named.named) {
        Name(root.tree, folder);
    }
    walks.insert(walks.end(), named.walks.begin(), named.walks.end());
}

// Every folder below start, read top down: a linked one gets a watch of its own, as a subtree's news does not reach
// through links. Reading them also lets Wine, which watches a subtree's folders as they are opened, see them all.
// A folder that appeared is named with every folder below it.
void FolderWatch::State::Walk(std::size_t tree, const std::string& start, bool name, const std::stop_token& cut) {
    std::vector<std::string> stack{start};
    while (!stack.empty() && !stopping && !cut.stop_requested()) {
        const std::string folder = std::move(stack.back());
        stack.pop_back();
        const DWORD attributes = AttributesOf(folder);
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && folder != trees[tree].top;
        if (!IsFolder(attributes) || (link && LeadsBackUp(folder))) {
            continue;
        }
        {
            const std::lock_guard lock(mutex);
            trees[tree].seen.Saw(folder);
            if (name) {
                Name(tree, folder);
            }
            DWORD error = 0;
            if (link && !stopping && !IsWatchedRoot(tree, folder) && !AddRoot(tree, RootKind::Tree, folder, error)) {
                Doubt(tree, detail::FolderNotWatched(folder, SystemMessage(static_cast<int>(error))));
            }
        }
        for (const std::string& sub : ListSubfolderNames(folder).names) {
            if (!IsTrashOfDrive(folder, sub)) {
                stack.push_back(folder + sub + "\\");
            }
        }
    }
}

void FolderWatch::State::Complete(Root& root, BOOL ok, DWORD bytes) {
    const std::size_t tree = root.tree; // the root may be closed and gone before the walks end
    std::vector<std::string> walks;
    {
        const std::lock_guard lock(mutex);
        root.pending = false;
        if (root.closing) {
            EndClosedRoots();
            return;
        }
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_NOTIFY_ENUM_DIR || (ok && bytes == 0)) {
            Doubt(root.tree, detail::QueueOverflowed()); // the system's buffer overflowed: the news is lost
        } else if (error != ERROR_SUCCESS) {
            const bool top = root.kind == RootKind::Above || root.folder == trees[root.tree].top;
            Doubt(root.tree, top ? detail::FolderGone()
                                 : detail::FolderNotWatched(root.folder, SystemMessage(static_cast<int>(error))));
        } else {
            ApplyRecords(root, bytes, walks);
        }
        if (error == ERROR_SUCCESS || error == ERROR_NOTIFY_ENUM_DIR) {
            Read(root);
        }
    }
    for (const std::string& folder : walks) {
        Walk(tree, folder, true);
    }
}

void FolderWatch::State::Run() {
    for (;;) {
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlapped = nullptr;
        const BOOL ok = GetQueuedCompletionStatus(port.get(), &bytes, &key, &overlapped, INFINITE);
        if (overlapped == nullptr) {
            const std::lock_guard lock(mutex);
            if (!ok) {
                for (std::size_t tree = 0; tree < trees.size(); ++tree) {
                    Doubt(tree, detail::WatchNotMade(SystemMessage(static_cast<int>(GetLastError()))));
                }
                return;
            }
            if (key == kStopKey && roots.empty()) {
                return;
            }
            continue;
        }
        Complete(*reinterpret_cast<Root*>(key), ok, bytes);
        const std::lock_guard lock(mutex);
        if (stopping && roots.empty()) {
            return;
        }
    }
}

FolderWatch::FolderWatch(const std::vector<std::string>& tops) : FolderWatch(tops, Later{}) {
    SetUp({});
}

FolderWatch::FolderWatch(const std::vector<std::string>& tops, Later) : state_(std::make_unique<State>()) {
    State& state = *state_;
    for (const std::string& top : tops) {
        state.trees.emplace_back(top);
    }
    std::string failure;
    if (!state.port.valid() || !state.newsEvent.valid() || !state.wakeEvent.valid()) {
        failure = SystemMessage(static_cast<int>(GetLastError()));
    } else {
        try {
            state.reader = std::thread([&state] { state.Run(); });
        } catch (const std::system_error& error) {
            failure = error.what();
        }
    }
    const std::lock_guard lock(state.mutex);
    for (std::size_t tree = 0; !failure.empty() && tree < tops.size(); ++tree) {
        state.Doubt(tree, detail::WatchNotMade(failure));
    }
}

// The stop request is polled, not given a std::stop_callback: with this library's Windows build, a callback
// that ends on one thread as the other destroys it can leave both waiting for ever. Without a reader the doubts
// stay.
void FolderWatch::SetUp(std::stop_token stop) {
    for (std::size_t tree = 0; tree < state_->trees.size() && !stop.stop_requested(); ++tree) {
        state_->StartAfresh(tree, stop);
    }
}

FolderWatch::~FolderWatch() {
    State& state = *state_;
    if (!state.reader.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(state.mutex);
        state.stopping = true;
        for (const auto& root : state.roots) {
            state.Close(*root);
        }
        state.EndClosedRoots();
    }
    PostQueuedCompletionStatus(state.port.get(), 0, kStopKey, nullptr);
    state.reader.join();
}

void FolderWatch::StartAfresh(std::size_t tree) {
    state_->StartAfresh(tree, {});
}

void FolderWatch::State::StartAfresh(std::size_t tree, const std::stop_token& cut) {
    {
        const std::lock_guard lock(mutex);
        if (!reader.joinable()) {
            return; // nothing can be watched: the doubt stays
        }
        for (const auto& root : roots) {
            if (root->tree == tree) {
                Close(*root);
            }
        }
        EndClosedRoots();
        trees[tree].changed.clear();
        trees[tree].doubt.reset();
        trees[tree].seen.Clear();
        if (!WatchTop(tree)) {
            return;
        }
    }
    Walk(tree, trees[tree].top, false, cut);
}

// A subtree's news does not reach through a link: each linked folder the listing entered is watched on its own.
void FolderWatch::AddFolders(std::size_t tree, const std::vector<std::string>& folders) {
    State& state = *state_;
    for (const std::string& folder : folders) {
        const DWORD attributes = AttributesOf(folder);
        if (!IsFolder(attributes) || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            continue;
        }
        const std::lock_guard lock(state.mutex);
        DWORD error = 0;
        if (!state.IsWatchedRoot(tree, folder) && state.reader.joinable()) {
            if (state.AddRoot(tree, RootKind::Tree, folder, error)) {
                state.trees[tree].seen.Saw(folder);
                state.Name(tree, folder);
            } else {
                state.Doubt(tree, detail::FolderNotWatched(folder, SystemMessage(static_cast<int>(error))));
            }
        }
    }
}

WatchNews FolderWatch::TakeNews() {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    WatchNews news;
    for (Tree& tree : state.trees) {
        news.trees.push_back(TreeNews{{tree.changed.begin(), tree.changed.end()}, tree.doubt});
        tree.changed.clear();
    }
    state.news = false;
    ResetEvent(state.newsEvent.get());
    return news;
}

WaitResult FolderWatch::WaitForChange(std::chrono::milliseconds timeout) {
    const HANDLE events[2] = {state_->wakeEvent.get(), state_->newsEvent.get()};
    const auto wait = static_cast<DWORD>(std::clamp<std::int64_t>(timeout.count(), 0, INFINITE - 1));
    switch (WaitForMultipleObjects(2, events, FALSE, wait)) {
    case WAIT_OBJECT_0:
        return WaitResult::Woken;
    case WAIT_OBJECT_0 + 1:
        return WaitResult::News;
    default:
        return WaitResult::TimedOut;
    }
}

void FolderWatch::Wake() {
    SetEvent(state_->wakeEvent.get());
}

} // namespace quillmere::platform
