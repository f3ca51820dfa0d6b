// SPDX-License-Identifier: GPL-3.0-or-later
// Which folders of the two trees changed since the caller last asked, so that a pass can read again only those,
// and whether that can be trusted. On Linux one inotify watch per folder a pass walks (trash folders never), added
// as folders appear; on Windows ReadDirectoryChangesW over each top folder's whole subtree, and over each linked
// folder a listing enters. A thread of the watch's own takes in the system's news as it comes, so the system's
// queue of news does not fill up while a pass runs.
//
// How a pass thread uses it (tree 0 is Folder 1, tree 1 Folder 2):
//   FolderWatch watch({folder1, folder2});    // watches both trees, before they are listed
//   list both trees in full; watch.AddFolders(t, folders the listing of tree t entered);
//   for (;;) {
//       watch.WaitForChange(until the quiet rule's next pass, or the timed pass);   // Wake() ends the wait early
//       WatchNews news = watch.TakeNews();
//       for each tree t: if (news.trees[t].doubt) { watch.StartAfresh(t); list tree t in full; AddFolders(t, ...); }
//                        else list again the folders in news.trees[t].changed;
//   }
// Folders are named in the form the walk gives them: the top folder as given, then names, each followed by one
// separator. StartAfresh comes before the full listing, so that nothing changed between the two goes unseen.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace quillmere::platform {

enum class DoubtKind {
    QueueOverflowed,      // the system dropped news: too many changes came at once
    WatchLimitReached,    // the system's limit on watched folders left some folders unwatched
    FolderNotWatched,     // a folder could not be watched, for another reason
    ChangesFromElsewhere, // a network or FUSE file system, whose changes made elsewhere are not reported
    FolderGone,           // the top folder, or a folder above it, was moved or deleted, or is missing
};

// Why a tree's changes cannot be told from the watch: a full listing is needed. words completes the status line
// "Changes on Folder 2 are found by the timed pass only: " (for example "a network folder").
struct WatchDoubt {
    DoubtKind kind;
    std::string words;
    bool operator==(const WatchDoubt&) const = default;
};

struct TreeNews {
    // Every folder in which something may have changed: a file or folder appeared, went away, was renamed, written
    // or given other attributes or times, or the folder itself changed. A folder that appears is named with every
    // folder below it; one that goes away is found gone by reading its parent, which is named. Sorted. A folder
    // named may be one the walk does not enter (Windows reports all of a subtree): a pass reads it by its own rules.
    std::vector<std::string> changed;
    // Set from the moment the watch cannot be trusted until StartAfresh, the first cause found.
    std::optional<WatchDoubt> doubt;
};

struct WatchNews {
    std::vector<TreeNews> trees; // in the order of the top folders
};

enum class WaitResult { News, TimedOut, Woken };

// What a schedule of passes asks of a watch (FolderWatch below; a test's scripted watch).
class WatchSource {
public:
    virtual ~WatchSource() = default;
    // Watches every tree afresh, walking them all: long for large trees, so a caller that must stay responsive
    // runs it on a thread of its own. A stop request cuts it short; a watch cut short is only to be dropped.
    virtual void SetUp(std::stop_token stop) = 0;
    virtual void StartAfresh(std::size_t tree) = 0;
    virtual void AddFolders(std::size_t tree, const std::vector<std::string>& folders) = 0;
    virtual WatchNews TakeNews() = 0;
    virtual WaitResult WaitForChange(std::chrono::milliseconds timeout) = 0;
    virtual void Wake() = 0;
};

class FolderWatch final : public WatchSource {
public:
    // Watches every folder below each top folder (given in the walk's form) that a pass walks.
    explicit FolderWatch(const std::vector<std::string>& tops);
    // Watches nothing until SetUp.
    struct Later {};
    FolderWatch(const std::vector<std::string>& tops, Later);
    ~FolderWatch() override;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    void SetUp(std::stop_token stop) override;

    // Forgets the tree's changes and doubt and watches it anew, to be followed by a full listing of it.
    void StartAfresh(std::size_t tree) override;
    // Watches those of a listing's folders (in the walk's form, the tree's own) that are not watched yet: a
    // link the walk followed, or a folder that appeared unseen. A folder newly watched is named in the next news,
    // as it may have changed between the listing and now.
    void AddFolders(std::size_t tree, const std::vector<std::string>& folders) override;

    // The folders changed since the last call, and each tree's doubt.
    WatchNews TakeNews() override;

    // Returns News as soon as there is news not yet taken (at once when some is waiting), TimedOut after timeout,
    // Woken when Wake was called meanwhile.
    WaitResult WaitForChange(std::chrono::milliseconds timeout) override;
    // Ends a wait, or the next one: from any thread, and on POSIX from a signal handler too.
    void Wake() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace quillmere::platform
