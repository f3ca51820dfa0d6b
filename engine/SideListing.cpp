// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SideListing.h"

#include "fs/AddFolder.h"
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

namespace quillmere {

namespace {

// How long the pass's thread waits for news of a walk before it looks whether the pass is to stop; a walk that
// reads folders quickly sends its news in batches.
constexpr auto kRelayInterval = std::chrono::milliseconds(20);
constexpr std::size_t kBatch = 64;

struct FolderWalked {};
struct FilesListed {
    std::int64_t count;
};
struct NotRead {
    std::string path;
    std::string cause;
};
using WalkNews = std::variant<FolderWalked, FilesListed, NotRead, TrappedError>;

// What one side's walk has to tell, kept until the pass's thread passes it on. Filled on the walk's thread.
class SideReports final : public ErrorSink {
public:
    void FolderWalked() {
        ++tally_.examined;
        Add(quillmere::FolderWalked{});
    }
    void FilesListed(std::int64_t count) { Add(quillmere::FilesListed{count}); }
    void NotRead(const std::string& path, const std::string& cause) {
        ++tally_.notRead;
        Add(quillmere::NotRead{path, cause});
    }
    void Report(const TrappedError& error) override {
        ++tally_.errors;
        Add(error);
    }
    // Once the walk has finished.
    const WalkTally& Tally() const { return tally_; }
    void Finish() {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        arrived_.notify_one();
    }

    // On the pass's thread: waits a while for news and passes on what came. False once the walk has finished and
    // all it told is passed on.
    bool RelayTo(PassContext& pass, SyncStep walk) {
        std::vector<WalkNews> news;
        bool finished = false;
        {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, kRelayInterval, [this] { return news_.size() >= kBatch || finished_; });
            news.swap(news_);
            finished = finished_;
        }
        for (const WalkNews& item : news) {
            RunTrapped(pass.Observer(), StepOf(walk), [&] { Relay(item, pass); });
        }
        return !finished;
    }

private:
    void Add(WalkNews item) {
        const std::lock_guard lock(mutex_);
        news_.push_back(std::move(item));
        if (news_.size() == kBatch) {
            arrived_.notify_one();
        }
    }

    static void Relay(const WalkNews& item, PassContext& pass) {
        if (std::holds_alternative<quillmere::FolderWalked>(item)) {
            pass.FolderWalked();
        } else if (const auto* listed = std::get_if<quillmere::FilesListed>(&item)) {
            pass.FilesListed(listed->count);
        } else if (const auto* notRead = std::get_if<quillmere::NotRead>(&item)) {
            pass.NotRead(notRead->path, notRead->cause);
        } else {
            pass.Observer().Report(std::get<TrappedError>(item));
        }
    }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<WalkNews> news_;
    bool finished_ = false;
    WalkTally tally_; // counted on the walk's thread
};

// On the side's own thread: the walk reads each folder's files, with their facts, along with its subfolders, and
// tells of every folder it cannot read.
void ListSide(Side& side, const SideToList& toList, SideReports& reports, const std::atomic<bool>& stop,
              FileOperations& files) {
    const SideSteps& steps = toList.steps;
    FolderList folders{side.folder};
    const WalkControl control{
        &reports,
        [&stop] { return stop.load(std::memory_order_relaxed); },
        [&reports] { reports.FolderWalked(); },
        [&reports](const std::string& path, const std::string& cause) { reports.NotRead(path, cause); },
        [&files](const std::string& folder, std::string_view name) { return TakesPart(folder, name, files); },
        toList.reading};
    RunTrapped(reports, StepOf(steps.walk),
               [&] { side.listed = GetSubDirectoriesWithFiles(folders, side.files, true, control); });
    if (!side.listed) {
        side.files = ListedFiles();
    }
    reports.FilesListed(static_cast<std::int64_t>(side.files.Size()));
    RunTrapped(reports, StepOf(steps.index), [&] { side.names.emplace(side.files); });
}

// Runs a side's listing on a thread of its own, or, when the system gives no thread, on this one.
class SideThread {
public:
    template <class Work> explicit SideThread(Work work) {
        try {
            thread_ = std::thread(work);
        } catch (const std::system_error&) {
            work();
        }
    }
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;
    ~SideThread() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

// Each item on its own, as the walk's news are relayed: an observer that throws misses no other.
void TellAsWalked(const KeptSide& kept, const SideSteps& steps, PassContext& pass) {
    const auto tell = [&](const auto& statement) { RunTrapped(pass.Observer(), StepOf(steps.walk), statement); };
    for (std::int64_t folder = 0; folder < kept.side->walk.examined; ++folder) {
        tell([&] { pass.FolderWalked(); });
    }
    for (const std::string& link : *kept.linksNotFollowed) {
        tell([&] { pass.NotRead(link, std::string(platform::RefusalText(platform::Refusal::LinkNotFollowed))); });
    }
    tell([&] { pass.FilesListed(static_cast<std::int64_t>(kept.side->files.Size())); });
}

} // namespace

bool TakesPart(const std::string& folder, std::string_view name, FileOperations& files) {
    if (!platform::TakesNoPart(name)) {
        return true;
    }
    if (platform::IsTemporaryName(name)) {
        files.RemoveLeftover(folder + std::string(name));
    }
    return false;
}

std::pair<std::unique_ptr<Side>, std::unique_ptr<Side>>
TellAsWalked(KeptSide first, KeptSide second, const SideSteps& steps1, const SideSteps& steps2, PassContext& pass) {
    TellAsWalked(first, steps1, pass);
    TellAsWalked(second, steps2, pass);
    return {std::move(first.side), std::move(second.side)};
}

std::pair<std::unique_ptr<Side>, std::unique_ptr<Side>> ListBothSides(const SideToList& first, const SideToList& second,
                                                                      PassContext& pass) {
    auto side1 = std::make_unique<Side>(first.folder);
    auto side2 = std::make_unique<Side>(second.folder);
    SideReports reports1;
    SideReports reports2;
    std::atomic<bool> stop{false};
    FileOperations& files = pass.Files();
    const auto work = [&files, &stop](Side& side, const SideToList& toList, SideReports& reports) {
        return [&files, &stop, &side, &toList, &reports] {
            const SideSteps& steps = toList.steps;
            try {
                ListSide(side, toList, reports, stop, files);
            } catch (...) {
                side.listed = false;
                // Reported as a failing statement of the walk, whatever it was.
                RunTrapped(reports, StepOf(steps.walk), [] { throw; });
            }
            reports.Finish();
        };
    };
    {
        const SideThread thread1(work(*side1, first, reports1));
        const SideThread thread2(work(*side2, second, reports2));
        // Should the observer throw, the walks still end soon, and the threads are joined on the way out.
        struct StopOnLeaving {
            std::atomic<bool>& stop;
            ~StopOnLeaving() { stop = true; }
        } const stopOnLeaving{stop};
        for (const auto& [reports, steps] : {std::pair{&reports1, first.steps}, std::pair{&reports2, second.steps}}) {
            while (reports->RelayTo(pass, steps.walk)) {
                if (pass.StopRequested()) {
                    stop = true;
                }
            }
        }
    }
    side1->walk = reports1.Tally();
    side2->walk = reports2.Tally();
    return {std::move(side1), std::move(side2)};
}

} // namespace quillmere
