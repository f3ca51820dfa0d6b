// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux folder watch on real folders: which folders each kind of change names, folders that appear or move
// being watched from then on, links, trashes, and the wait.
#include "platform/FolderWatch.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/watch/WatchedTrees.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <stop_token>
#include <thread>

namespace quillmere::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Sorted(const std::set<std::string>& folders) {
    return {folders.begin(), folders.end()};
}

void Append(const std::string& path, const std::string& text) {
    WriteFile(path, ReadFile(path) + text);
}

// A write through a shared mapping, which the system tells only when the file is closed.
void WriteThroughMapping(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    void* mapped = fd < 0 ? MAP_FAILED : ::mmap(nullptr, 1, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
        throw std::runtime_error("cannot map " + path);
    }
    *static_cast<char*>(mapped) = 'm';
    ::msync(mapped, 1, MS_SYNC);
    ::munmap(mapped, 1);
    ::close(fd);
}

struct ChangeCase {
    const char* what;
    std::function<void(const WatchedTrees&)> change; // on tree 0
    std::vector<std::string> named;
    std::vector<std::string> notNamed;
};

// Named in the test list by what it tries, not by its bytes.
void PrintTo(const ChangeCase& tested, std::ostream* out) {
    *out << tested.what;
}

class EachChange : public ::testing::TestWithParam<ChangeCase> {};

// Each change names the folders whose entries it touched, and no other folder of the tree.
TEST_P(EachChange, NamesTheFoldersItTouched) {
    WatchedTrees trees({"a/deep/", "b/", "other/"});
    WriteFile(trees.In(0, "a/f.txt"), "f");
    WriteFile(trees.In(0, "a/deep/d.txt"), "d");
    WriteFile(trees.Outside("x.txt"), "x");
    ASSERT_TRUE(trees.Settle(0));
    trees.Forget();

    GetParam().change(trees);
    ASSERT_TRUE(trees.WaitForChanged(0, GetParam().named))
        << "named: " << ::testing::PrintToString(Sorted(trees.Changed(0)));
    ASSERT_TRUE(trees.Settle(0));
    for (const std::string& folder : GetParam().notNamed) {
        EXPECT_FALSE(trees.Changed(0).contains(folder)) << folder;
    }
    EXPECT_TRUE(trees.Changed(1).empty()) << "the other tree was not touched";
}

using Trees = const WatchedTrees&;

const ChangeCase kChanges[] = {
    {"FileMade", [](Trees trees) { WriteFile(trees.In(0, "a/new.txt"), "n"); }, {"a/"}, {"other/", ""}},
    {"FileWritten", [](Trees trees) { Append(trees.In(0, "a/f.txt"), "more"); }, {"a/"}, {"other/"}},
    {"FileWrittenThroughAMapping",
     [](Trees trees) { WriteThroughMapping(trees.In(0, "a/f.txt")); },
     {"a/"},
     {"other/"}},
    {"FileTouchedOlder",
     [](Trees trees) { SetLastWriteNs(trees.In(0, "a/f.txt"), 1'000'000'000); },
     {"a/"},
     {"other/"}},
    {"FileModeChanged", [](Trees trees) { ::chmod(trees.In(0, "a/f.txt").c_str(), 0600); }, {"a/"}, {"other/"}},
    {"FileRenamed",
     [](Trees trees) { fs::rename(trees.In(0, "a/f.txt"), trees.In(0, "a/g.txt")); },
     {"a/"},
     {"other/", "b/"}},
    {"FileMoved",
     [](Trees trees) { fs::rename(trees.In(0, "a/f.txt"), trees.In(0, "b/f.txt")); },
     {"a/", "b/"},
     {"other/"}},
    {"FileMovedIn",
     [](Trees trees) { fs::rename(trees.Outside("x.txt"), trees.In(0, "b/x.txt")); },
     {"b/"},
     {"other/", "a/"}},
    {"FileDeleted", [](Trees trees) { fs::remove(trees.In(0, "a/f.txt")); }, {"a/"}, {"other/"}},
    {"FileDeepDownWritten",
     [](Trees trees) { Append(trees.In(0, "a/deep/d.txt"), "more"); },
     {"a/deep/"},
     {"other/", "a/", ""}},
    {"LinkMade", [](Trees trees) { fs::create_symlink("f.txt", trees.In(0, "a/l.txt")); }, {"a/"}, {"other/"}},
    {"FolderMade", [](Trees trees) { MakeFolder(trees.In(0, "b/new")); }, {"b/", "b/new/"}, {"other/", "a/"}},
    {"FolderDeleted", [](Trees trees) { fs::remove_all(trees.In(0, "a/deep")); }, {"a/"}, {"other/"}},
    {"FolderRenamed",
     [](Trees trees) { fs::rename(trees.In(0, "a/deep"), trees.In(0, "a/renamed")); },
     {"a/", "a/renamed/"},
     {"other/"}},
};

std::string CaseName(const ::testing::TestParamInfo<ChangeCase>& tested) {
    return tested.param.what;
}

INSTANTIATE_TEST_SUITE_P(Changes, EachChange, ::testing::ValuesIn(kChanges), CaseName);

// A file written without being closed (a log) is told as it grows, not only once it is closed.
TEST(FolderWatch, FileKeptOpenIsToldWhileItIsWritten) {
    WatchedTrees trees({"logs/"});
    const int log = ::open(trees.In(0, "logs/app.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(log, 0);
    ASSERT_TRUE(trees.WaitForChanged(0, {"logs/"}));
    trees.Forget();

    ASSERT_EQ(::write(log, "line\n", 5), 5);
    EXPECT_TRUE(trees.WaitForChanged(0, {"logs/"}));
    ::close(log);
}

// A folder moved in from outside is named with every folder below it, and each of them is watched from then on.
TEST(FolderWatch, FolderMovedInIsWatchedWithEverythingBelowIt) {
    WatchedTrees trees({"a/"});
    fs::create_directories(trees.Outside("x/y/z"));
    WriteFile(trees.Outside("x/y/z/old.txt"), "old");
    fs::rename(trees.Outside("x"), trees.In(0, "a/x"));
    ASSERT_TRUE(trees.WaitForChanged(0, {"a/", "a/x/", "a/x/y/", "a/x/y/z/"}));
    trees.Forget();

    WriteFile(trees.In(0, "a/x/y/z/new.txt"), "new");
    EXPECT_TRUE(trees.WaitForChanged(0, {"a/x/y/z/"}));
}

// A folder filled at once, before its watch can be in place: its files are never missed, since a new folder is
// named whole, and what comes into it later is told by its watch.
TEST(FolderWatch, FolderMadeAndFilledAtOnceIsWatched) {
    WatchedTrees trees;
    fs::create_directories(trees.In(0, "n/m/o"));
    WriteFile(trees.In(0, "n/m/o/first.txt"), "first");
    ASSERT_TRUE(trees.WaitForChanged(0, {"", "n/", "n/m/", "n/m/o/"}));
    trees.Forget();

    WriteFile(trees.In(0, "n/m/o/second.txt"), "second");
    EXPECT_TRUE(trees.WaitForChanged(0, {"n/m/o/"}));
}

TEST(FolderWatch, FolderRenamedIsWatchedUnderItsNewName) {
    WatchedTrees trees({"a/deep/"});
    fs::rename(trees.In(0, "a"), trees.In(0, "c"));
    ASSERT_TRUE(trees.WaitForChanged(0, {"", "c/", "c/deep/"}));
    trees.Forget();

    WriteFile(trees.In(0, "c/deep/f.txt"), "f");
    ASSERT_TRUE(trees.WaitForChanged(0, {"c/deep/"}));
    ASSERT_TRUE(trees.Settle(0));
    EXPECT_FALSE(trees.Changed(0).contains("a/deep/")) << "the old name leads nowhere";
}

TEST(FolderWatch, FolderMovedOutIsNoLongerTold) {
    WatchedTrees trees({"a/deep/"});
    fs::rename(trees.In(0, "a"), trees.Outside("a"));
    ASSERT_TRUE(trees.WaitForChanged(0, {""}));
    trees.Forget();

    WriteFile(trees.Outside("a/deep/f.txt"), "f");
    ASSERT_TRUE(trees.Settle(0));
    EXPECT_EQ(Sorted(trees.Changed(0)), std::vector<std::string>{});
}

TEST(FolderWatch, FolderDeletedAndMadeAgainIsWatchedAgain) {
    WatchedTrees trees({"a/deep/"});
    fs::remove_all(trees.In(0, "a"));
    fs::create_directories(trees.In(0, "a/deep"));
    ASSERT_TRUE(trees.WaitForChanged(0, {"", "a/", "a/deep/"}));
    trees.Forget();

    WriteFile(trees.In(0, "a/deep/f.txt"), "f");
    EXPECT_TRUE(trees.WaitForChanged(0, {"a/deep/"}));
}

// A linked folder is walked under the link's path, so its changes are named there.
TEST(FolderWatch, LinkedFolderIsToldUnderTheLinksPath) {
    WatchedTrees trees({"a/"});
    MakeFolder(trees.Outside("linked"));
    fs::create_directory_symlink(trees.Outside("linked"), trees.In(0, "a/early"));
    trees.Rewatch();
    fs::create_directory_symlink(trees.Outside("linked"), trees.In(0, "a/late"));
    ASSERT_TRUE(trees.WaitForChanged(0, {"a/"}));
    ASSERT_TRUE(trees.Settle(0));
    trees.Forget();

    WriteFile(trees.Outside("linked/f.txt"), "f");
    EXPECT_TRUE(trees.WaitForChanged(0, {"a/early/", "a/late/"}));
}

// A link back up to a folder above is not entered, as the walk does not enter it: the watch is set up, and a change
// in the top folder is named once, under its own path.
TEST(FolderWatch, LinkBackUpIsNotWalked) {
    WatchedTrees trees({"a/"});
    fs::create_directory_symlink(trees.Top(0), trees.In(0, "a/up"));
    trees.Rewatch();
    WriteFile(trees.In(0, "f.txt"), "f");
    ASSERT_TRUE(trees.WaitForChanged(0, {""}));
    ASSERT_TRUE(trees.Settle(0));
    EXPECT_EQ(Sorted(trees.Changed(0)), std::vector<std::string>{""});
}

// The home trash, which a pass never walks, even when a tree holds it: neither what is there at the start nor what
// comes into it later is told. A folder of the same name elsewhere is an ordinary one.
TEST(FolderWatch, HomeTrashInATreeIsNotWatched) {
    WatchedTrees trees({"data/Trash/files/", "b/Trash/"});
    const char* earlier = std::getenv("XDG_DATA_HOME");
    const std::string kept = earlier != nullptr ? earlier : "";
    ::setenv("XDG_DATA_HOME", trees.In(0, "data").c_str(), 1);
    trees.Rewatch();
    earlier != nullptr ? ::setenv("XDG_DATA_HOME", kept.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");

    WriteFile(trees.In(0, "data/Trash/files/old.txt"), "old");
    WriteFile(trees.In(0, "b/Trash/f.txt"), "f");
    ASSERT_TRUE(trees.WaitForChanged(0, {"b/Trash/"}));
    ASSERT_TRUE(trees.Settle(0));
    EXPECT_FALSE(trees.Changed(0).contains("data/Trash/files/"));
    EXPECT_FALSE(trees.Changed(0).contains("data/Trash/"));
}

// A drive's own trash at its top: on a tmpfs mounted in the tree, there from the start or made later.
TEST(FolderWatch, DriveTrashIsNotWatched) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    WatchedTrees trees({"drive/"});
    const std::string drive = trees.In(0, "drive");
    if (RunProgram("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", drive}) != 0) {
        GTEST_SKIP() << "tmpfs could not be mounted";
    }
    struct Unmount {
        std::string folder;
        ~Unmount() { RunProgram("umount", {folder}); }
    } const unmount{drive};
    fs::create_directories(trees.In(0, "drive/.Trash-0/files"));
    trees.Rewatch();
    MakeFolder(trees.In(0, "drive/.Trash-1000"));
    ASSERT_TRUE(trees.WaitForChanged(0, {"drive/"}));

    WriteFile(trees.In(0, "drive/.Trash-0/files/old.txt"), "old");
    WriteFile(trees.In(0, "drive/.Trash-1000/old.txt"), "old");
    ASSERT_TRUE(trees.Settle(0));
    for (const char* trash : {"drive/.Trash-0/", "drive/.Trash-0/files/", "drive/.Trash-1000/"}) {
        EXPECT_FALSE(trees.Changed(0).contains(trash)) << trash;
    }
}

// Once a file system mounted in a tree goes, the folder below its mount point shows there: it is named, and watched.
TEST(FolderWatch, FolderBelowAnUnmountedDriveIsWatched) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    WatchedTrees trees({"drive/"});
    const std::string drive = trees.In(0, "drive");
    if (RunProgram("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", drive}) != 0) {
        GTEST_SKIP() << "tmpfs could not be mounted";
    }
    trees.Rewatch();
    ASSERT_EQ(RunProgram("umount", {drive}), 0);
    ASSERT_TRUE(trees.WaitForChanged(0, {"drive/"}));
    trees.Forget();

    WriteFile(trees.In(0, "drive/below.txt"), "below");
    EXPECT_TRUE(trees.WaitForChanged(0, {"drive/"}));
}

// A listing's folder the watch did not know is watched from then on, and named once, as it may have changed
// before. The home trash stands in for it here, the one folder the watch leaves out that a listing could give.
TEST(FolderWatch, AddedFoldersAreWatchedAndNamed) {
    WatchedTrees trees({"data/Trash/"});
    ::setenv("XDG_DATA_HOME", trees.In(0, "data").c_str(), 1);
    trees.Rewatch();
    ::unsetenv("XDG_DATA_HOME");

    trees.Watch().AddFolders(0, {trees.In(0, "data/Trash/")});
    ASSERT_TRUE(trees.WaitForChanged(0, {"data/Trash/"}));
    trees.Forget();

    WriteFile(trees.In(0, "data/Trash/f.txt"), "f");
    EXPECT_TRUE(trees.WaitForChanged(0, {"data/Trash/"}));
}

// What changed before a tree started afresh is forgotten: the full listing that follows reads it. A change of
// mode is one event, so once the wait tells of it, nothing more of it is to come.
TEST(FolderWatch, StartingAfreshForgetsEarlierChanges) {
    WatchedTrees trees({"a/"});
    WriteFile(trees.In(0, "a/f.txt"), "f");
    ASSERT_TRUE(trees.Settle(0));
    trees.Forget();
    ::chmod(trees.In(0, "a/f.txt").c_str(), 0600);
    ASSERT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), platform::WaitResult::News);
    trees.Watch().StartAfresh(0);
    EXPECT_EQ(trees.Watch().TakeNews().trees[0].changed, std::vector<std::string>{});

    WriteFile(trees.In(0, "a/g.txt"), "g");
    EXPECT_TRUE(trees.WaitForChanged(0, {"a/"})) << "watched again";
}

// The watches this process holds, in all its inotify instances.
std::size_t InotifyWatchesHeld() {
    std::size_t held = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fdinfo")) {
        std::ifstream info(entry.path());
        for (std::string line; std::getline(info, line);) {
            held += line.starts_with("inotify wd:") ? 1 : 0;
        }
    }
    return held;
}

// A watch made to be set up later watches nothing until then, and a stop request cuts its set-up short.
TEST(FolderWatch, ASetUpStoppedBeforeItBeginsWatchesNothing) {
    const WatchedTrees trees({"a/", "a/b/"});
    const std::size_t held = InotifyWatchesHeld();
    ASSERT_GT(held, 0u) << "the trees' own watch is counted";
    platform::FolderWatch later({trees.Top(0), trees.Top(1)}, platform::FolderWatch::Later{});
    EXPECT_EQ(InotifyWatchesHeld(), held);
    std::stop_source stop;
    stop.request_stop();
    later.SetUp(stop.get_token());
    EXPECT_EQ(InotifyWatchesHeld(), held);
}

TEST(FolderWatchWait, EndsWithNewsWhenAFolderChanges) {
    WatchedTrees trees;
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WriteFile(trees.In(1, "f.txt"), "f");
    });
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), platform::WaitResult::News);
    writer.join();
}

TEST(FolderWatchWait, TimesOutWhileNothingChanges) {
    WatchedTrees trees;
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::milliseconds(50)), platform::WaitResult::TimedOut);
}

TEST(FolderWatchWait, WakeEndsAWaitFromAnotherThread) {
    WatchedTrees trees;
    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        trees.Watch().Wake();
    });
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), platform::WaitResult::Woken);
    waker.join();
}

TEST(FolderWatchWait, WakeBeforeTheWaitEndsTheNextOne) {
    WatchedTrees trees;
    trees.Watch().Wake();
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::seconds(10)), platform::WaitResult::Woken);
    EXPECT_EQ(trees.Watch().WaitForChange(std::chrono::milliseconds(20)), platform::WaitResult::TimedOut)
        << "one wake ends one wait";
}

} // namespace
} // namespace quillmere::test
