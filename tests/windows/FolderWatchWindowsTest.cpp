// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows folder watch, run for real (under Wine, which gives ReadDirectoryChangesW through inotify).
#include "platform/FolderWatch.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

namespace quillmere::platform {
namespace {

using testing::WindowsTestFolder;

// How the top folders are given to the watch: as the system names them, or typed with "/" ("C:/Users/me/Docs",
// which the program keeps with a "\" added at its end).
enum class TopForm { Backslashes, Slashes };

// Two trees "one\" and "two\" and a folder outside them, watched; news gathered until what a test waits for came.
class WatchedWindowsTrees {
public:
    explicit WatchedWindowsTrees(const std::vector<std::string>& folders, TopForm form = TopForm::Backslashes)
        : form_(form) {
        for (const char* top : {"one", "two", "outside"}) {
            testing::MakeFolder(root_ / top);
        }
        for (const std::string& folder : folders) {
            testing::MakeFolder(In(0, folder));
        }
        testing::MakeFolder(In(0, "markers"));
        watch_ = std::make_unique<FolderWatch>(std::vector<std::string>{Given(0), Given(1)});
    }

    std::string Top(std::size_t tree) const { return root_ / (tree == 0 ? "one\\" : "two\\"); }
    // The top as the watch was given it, which every folder it names starts with.
    std::string Given(std::size_t tree) const {
        std::string top = Top(tree);
        if (form_ == TopForm::Slashes) {
            std::replace(top.begin(), top.end() - 1, '\\', '/');
        }
        return top;
    }
    std::string In(std::size_t tree, const std::string& relative) const { return Top(tree) + relative; }
    std::string Outside(const std::string& relative) const { return root_ / ("outside\\" + relative); }
    FolderWatch& Watch() { return *watch_; }
    const std::set<std::string>& Changed() const { return changed_; }
    const std::optional<WatchDoubt>& Doubt() const { return doubt_; }

    bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (Take(); !done(); Take()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            watch_->WaitForChange(left);
        }
        return true;
    }
    bool WaitForChanged(const std::vector<std::string>& relative) {
        return WaitFor([&] {
            return std::all_of(relative.begin(), relative.end(), [&](const auto& f) { return changed_.contains(f); });
        });
    }
    // A marker written after a change comes after that change's news.
    bool Settle() {
        testing::WriteText(In(0, "markers\\" + std::to_string(++markers_)), "m");
        const bool settled = WaitForChanged({"markers\\"});
        changed_.erase("markers\\");
        return settled;
    }
    void Forget() {
        Take();
        changed_.clear();
    }

private:
    void Take() {
        const WatchNews news = watch_->TakeNews();
        for (const std::string& folder : news.trees[0].changed) {
            changed_.insert(folder.starts_with(Given(0)) ? folder.substr(Given(0).size()) : folder);
        }
        doubt_ = news.trees[0].doubt;
    }

    TopForm form_;
    WindowsTestFolder root_;
    std::unique_ptr<FolderWatch> watch_;
    std::set<std::string> changed_;
    std::optional<WatchDoubt> doubt_;
    int markers_ = 0;
};

struct WindowsChange {
    const char* what;
    std::function<void(WatchedWindowsTrees&)> change;
    std::vector<std::string> named;
};

TEST(WindowsFolderWatch, EachChangeNamesTheFolderItTouched) {
    const WindowsChange changes[] = {
        {"file made", [](auto& t) { testing::WriteText(t.In(0, "a\\new.txt"), "n"); }, {"a\\"}},
        {"file written", [](auto& t) { testing::WriteText(t.In(0, "a\\f.txt"), "longer"); }, {"a\\"}},
        {"file touched older", [](auto& t) { testing::SetLastWriteSteps(t.In(0, "a\\f.txt"), 1); }, {"a\\"}},
        {"file renamed",
         [](auto& t) { MoveFileExA(t.In(0, "a\\f.txt").c_str(), t.In(0, "a\\g.txt").c_str(), 0); },
         {"a\\"}},
        {"file moved in",
         [](auto& t) { MoveFileExA(t.Outside("x.txt").c_str(), t.In(0, "b\\x.txt").c_str(), 0); },
         {"b\\"}},
        {"file deleted", [](auto& t) { DeleteFileA(t.In(0, "a\\f.txt").c_str()); }, {"a\\"}},
        {"file deep down written",
         [](auto& t) { testing::WriteText(t.In(0, "a\\deep\\d.txt"), "more"); },
         {"a\\deep\\"}},
        {"folder made", [](auto& t) { testing::MakeFolder(t.In(0, "b\\new")); }, {"b\\", "b\\new\\"}},
        {"folder renamed",
         [](auto& t) { MoveFileExA(t.In(0, "a\\deep").c_str(), t.In(0, "a\\renamed").c_str(), 0); },
         {"a\\", "a\\renamed\\"}},
    };
    for (const WindowsChange& change : changes) {
        WatchedWindowsTrees trees({"a", "a\\deep", "b", "other"});
        testing::WriteText(trees.In(0, "a\\f.txt"), "f");
        testing::WriteText(trees.In(0, "a\\deep\\d.txt"), "d");
        testing::WriteText(trees.Outside("x.txt"), "x");
        ASSERT_TRUE(trees.Settle()) << change.what;
        trees.Forget();

        change.change(trees);
        EXPECT_TRUE(trees.WaitForChanged(change.named)) << change.what;
        ASSERT_TRUE(trees.Settle()) << change.what;
        EXPECT_FALSE(trees.Changed().contains("other\\")) << change.what;
        EXPECT_EQ(trees.Watch().TakeNews().trees[1].changed, std::vector<std::string>{}) << change.what;
    }
}

// A folder moved in from outside is named with every folder below it, whose changes are told from then on.
TEST(WindowsFolderWatch, FolderMovedInIsNamedWithEverythingBelowIt) {
    WatchedWindowsTrees trees({"a"});
    testing::MakeFolder(trees.Outside("x"));
    testing::MakeFolder(trees.Outside("x\\y"));
    testing::MakeFolder(trees.Outside("x\\y\\z"));
    ASSERT_TRUE(MoveFileExA(trees.Outside("x").c_str(), trees.In(0, "a\\x").c_str(), 0));
    ASSERT_TRUE(trees.WaitForChanged({"a\\", "a\\x\\", "a\\x\\y\\", "a\\x\\y\\z\\"}));
    trees.Forget();

    testing::WriteText(trees.In(0, "a\\x\\y\\z\\new.txt"), "new");
    EXPECT_TRUE(trees.WaitForChanged({"a\\x\\y\\z\\"}));
}

TEST(WindowsFolderWatch, TopFolderRenamedIsDoubted) {
    for (const TopForm form : {TopForm::Backslashes, TopForm::Slashes}) {
        WatchedWindowsTrees trees({"a"}, form);
        const char* given = form == TopForm::Slashes ? "the top typed with /" : "the top as the system names it";
        ASSERT_EQ(trees.Watch().TakeNews().trees[0].doubt, std::nullopt) << given;
        ASSERT_TRUE(MoveFileExA(trees.Top(0).c_str(), trees.Outside("moved").c_str(), 0)) << given;
        ASSERT_TRUE(trees.WaitFor([&] { return trees.Doubt().has_value(); })) << given;
        EXPECT_EQ(trees.Doubt()->kind, DoubtKind::FolderGone) << given;

        MoveFileExA(trees.Outside("moved").c_str(), trees.Top(0).c_str(), 0);
        trees.Watch().StartAfresh(0);
        EXPECT_EQ(trees.Watch().TakeNews().trees[0].doubt, std::nullopt) << "trusted again once started afresh";
    }
}

TEST(WindowsFolderWatch, MissingTopFolderIsDoubted) {
    WindowsTestFolder root;
    FolderWatch watch({root / "missing\\"});
    const WatchNews news = watch.TakeNews();
    ASSERT_TRUE(news.trees[0].doubt);
    EXPECT_EQ(news.trees[0].doubt->kind, DoubtKind::FolderGone);
}

TEST(WindowsFolderWatch, WaitTimesOutEndsWithNewsOrIsWoken) {
    WatchedWindowsTrees trees({"a"});
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::milliseconds(50)), WaitResult::TimedOut);

    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        trees.Watch().Wake();
    });
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), WaitResult::Woken);
    waker.join();

    testing::WriteText(trees.In(1, "f.txt"), "f");
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), WaitResult::News);
}

// Set by the Wine check: a drive letter Wine takes for a network drive, leading to a folder of the check's own.
TEST(WindowsFolderWatch, NetworkDriveIsDoubted) {
    const char* drive = std::getenv("QUILLMERE_NETWORK_DRIVE");
    if (drive == nullptr) {
        GTEST_SKIP() << "no network drive given (QUILLMERE_NETWORK_DRIVE)";
    }
    WindowsTestFolder local;
    FolderWatch watch({std::string(drive), local.path()});
    const WatchNews news = watch.TakeNews();
    ASSERT_TRUE(news.trees[0].doubt);
    EXPECT_EQ(news.trees[0].doubt->kind, DoubtKind::ChangesFromElsewhere);
    EXPECT_NE(news.trees[0].doubt->words.find("network"), std::string::npos) << news.trees[0].doubt->words;
    EXPECT_EQ(news.trees[1].doubt, std::nullopt);
}

} // namespace
} // namespace quillmere::platform
