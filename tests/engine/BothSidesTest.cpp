// SPDX-License-Identifier: GPL-3.0-or-later
// The two sides are walked at the same time, yet the observer hears everything on the pass's own thread, one call
// at a time, Folder 1's news before Folder 2's: the window and the command line need no locks, and every run
// tells the same in the same order.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/ChildProcess.h"

#include "platform/FileCopy.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace quillmere::test {
namespace {

// Notes the thread of every call, and any call made while another is still running.
class ThreadCheckingObserver : public RecordingObserver {
    mutable std::atomic<int> inside_{0};

    template <class Call> auto Enter(Call call) const {
        if (std::this_thread::get_id() != expectedThread) {
            ++callsOnOtherThreads;
        }
        if (inside_.fetch_add(1) != 0) {
            ++overlappingCalls;
        }
        struct Leave {
            std::atomic<int>& inside;
            ~Leave() { --inside; }
        } leave{inside_};
        return call();
    }

public:
    bool StopRequested() const override {
        return Enter([&] { return RecordingObserver::StopRequested(); });
    }
    void Progress(const SyncCounts& sofar) override {
        Enter([&] { RecordingObserver::Progress(sofar); });
    }
    void Copied(const std::string& source, const std::string& destination) override {
        Enter([&] { RecordingObserver::Copied(source, destination); });
    }
    void NotRead(const std::string& path, const std::string& cause) override {
        Enter([&] { RecordingObserver::NotRead(path, cause); });
    }
    void Report(const TrappedError& error) override {
        Enter([&] { RecordingObserver::Report(error); });
    }

    std::thread::id expectedThread = std::this_thread::get_id();
    mutable std::atomic<int> callsOnOtherThreads{0};
    mutable std::atomic<int> overlappingCalls{0};
};

TEST(BothSidesAtOnce, TheObserverHearsAllOnThePassThreadOneCallAtATimeFolder1First) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give links to the user nobody, whose links the pass does not follow";
    }
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(tree / "target.txt", "root's", kBaseTime);
    std::vector<std::string> links;
    for (int folder = 0; folder < 40; ++folder) {
        for (const std::string& top : {one, two}) {
            const std::string sub = top + "d" + std::to_string(folder) + "/";
            PutFile(sub + "same.txt", top, kBaseTime + (top == one ? kSecond : 0));
            PutFile(sub + (top == one ? "only1-" : "only2-") + std::to_string(folder), "x", kBaseTime);
            if (folder % 10 == 0) {
                links.push_back(sub + "link");
                std::filesystem::create_symlink(tree / "target.txt", links.back());
                ASSERT_EQ(::lchown(links.back().c_str(), kNobody, kNobody), 0);
            }
        }
    }
    ThreadCheckingObserver observer;
    const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);

    EXPECT_EQ(observer.callsOnOtherThreads, 0);
    EXPECT_EQ(observer.overlappingCalls, 0);
    EXPECT_TRUE(observer.errors.empty());
    EXPECT_EQ(counts.filesListed, 160);
    EXPECT_EQ(counts.filesCopied, 40 + 40 + 40) << "the first same.txt of one makes all of two's the same";
    // The walk goes level by level, and lists each folder in name order: d0, d10, d20, d30 of one, then of two.
    std::vector<std::string> heard;
    for (const auto& [path, cause] : observer.notRead) {
        heard.push_back(path);
        EXPECT_EQ(cause, platform::RefusalText(platform::Refusal::LinkNotFollowed));
    }
    std::sort(links.begin(), links.end());
    EXPECT_EQ(heard, links);
}

} // namespace
} // namespace quillmere::test
