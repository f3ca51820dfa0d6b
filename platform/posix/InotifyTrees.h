// SPDX-License-Identifier: GPL-3.0-or-later
// The bookkeeping of the Linux folder watch: which folder of which tree each inotify watch stands for, what the
// events read from the instance say changed, and each tree's doubt. Thread-safe: the watch's reader thread applies
// events while the caller starts a tree afresh, adds folders or takes the news.
#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderWatch.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmere::platform::posix {

class InotifyTrees {
public:
    // inotifyFd: the instance, owned by the caller. onNews: called (under the lock) whenever news arrives.
    InotifyTrees(int inotifyFd, const std::vector<std::string>& tops, std::function<void()> onNews);

    void StartAfresh(std::size_t tree);
    void AddFolders(std::size_t tree, const std::vector<std::string>& folders);
    // The events of one read from the instance.
    void Apply(std::span<const char> events);
    // Every tree gets the doubt (an instance that cannot be made or read).
    void DoubtAll(const WatchDoubt& doubt);
    // Cuts short every walk, the one under way and those to come, so that the watch can end soon.
    void Stop() { stopping_ = true; }

    WatchNews TakeNews();
    bool HasNews() const;

private:
    // The folders a walk came through, innermost first: a folder among them is a link back up.
    struct Chain {
        FileIdentity identity;
        std::shared_ptr<const Chain> above;
    };
    struct ToWalk {
        std::size_t tree;
        std::string folder;
        bool ifLinkedFolder = false; // a new entry that is a folder only if it is a link to one
    };
    enum class Outcome { Watched, Counted, Skipped };
    struct Place {
        std::size_t tree;
        const std::string* folder; // the key in that tree's watched map
    };
    struct Tree {
        std::string top;
        std::map<std::string, int> watched; // folder -> watch
        std::set<std::string> changed;
        std::optional<WatchDoubt> doubt;
        std::size_t beyondLimit = 0; // folders seen but not watched once the limit was reached
        bool limitReached = false;
    };

    void WatchAbove(std::size_t tree);
    void Walk(std::size_t tree, const std::string& start, bool name);
    Outcome WatchOne(std::size_t tree, const std::string& folder, const Chain* above, bool name,
                     FileIdentity& identity);
    void CheckTopWatched(std::size_t tree);
    Outcome NoteFailure(std::size_t tree, const std::string& folder, int error);
    void CheckFileSystem(std::size_t tree, const std::string& folder);
    static std::shared_ptr<const Chain> ChainAbove(const std::string& folder, bool isTop);
    bool IsLeftOut(const std::string& parent, std::string_view name) const;
    bool IsFolderToWalk(const ToWalk& entry) const;

    void ApplyOne(int wd, std::uint32_t mask, std::string_view name, std::vector<ToWalk>& walks);
    void ApplyToSelf(std::size_t tree, const std::string& folder, int wd, std::uint32_t mask,
                     std::vector<ToWalk>& walks);
    void ApplyToEntry(std::size_t tree, const std::string& folder, std::uint32_t mask, std::string_view name,
                      std::vector<ToWalk>& walks);
    void ApplyAbove(int wd, std::uint32_t mask);

    void Record(std::size_t tree, const std::string& folder, int wd);
    void Forget(std::size_t tree, std::map<std::string, int>::iterator at);
    void ForgetBelow(std::size_t tree, const std::string& folder);
    void RemoveUnused();
    void Name(std::size_t tree, const std::string& folder);
    void Doubt(std::size_t tree, const WatchDoubt& doubt);
    void UpdateLimitWords(std::size_t tree);

    const int fd_;
    const std::function<void()> onNews_;
    std::optional<FileIdentity> homeTrash_;
    std::string homeTrashName_;

    mutable std::mutex mutex_;
    std::vector<Tree> trees_;
    std::unordered_map<int, std::vector<Place>> places_;      // watch -> the folders it stands for
    std::unordered_map<int, std::vector<std::size_t>> above_; // watch on a folder above tops -> their trees
    std::vector<int> maybeUnused_;                            // watches that lost a folder since the last check
    bool news_ = false;
    std::atomic<bool> stopping_{false};
};

} // namespace quillmere::platform::posix
