// SPDX-License-Identifier: GPL-3.0-or-later
// A pass loses no save made during it, lends no one its rights through a link, clears away what a killed copy
// left, and tells every failure with its cause.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/KilledCopy.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace quillmere::test {
namespace {

using platform::Refusal;
using platform::RefusalText;
using Record = RecordingObserver::NotCopiedRecord;

// The pass hands the copy what it compared, so a file saved at the destination while the data is being written
// is not replaced: neither a file the pass compared, nor one that appears where the pass found none.
TEST(PassRace, AFileSavedAtTheDestinationDuringACopyIsKeptAndTheCopyReported) {
    for (const bool replacement : {true, false}) {
        TempDir tree;
        const std::string one = MakeSide(tree, "one");
        const std::string two = MakeSide(tree, "two");
        PutFile(one + "a.txt", "new", kBaseTime + kSecond);
        if (replacement) {
            PutFile(two + "a.txt", "old", kBaseTime);
        }
        RecordingObserver observer;
        observer.onStage = [](const std::string&, const std::string& destination, platform::CopyStage stage) {
            if (stage == platform::CopyStage::DataWritten) {
                WriteFile(destination, "saved meanwhile");
            }
        };
        const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);

        EXPECT_EQ(ReadFile(two + "a.txt"), "saved meanwhile");
        EXPECT_EQ(counts.filesCopied, 0);
        EXPECT_EQ(counts.copiesRefused, 1);
        const Refusal refusal = replacement ? Refusal::DestinationChanged : Refusal::DestinationExists;
        EXPECT_EQ(observer.notCopied,
                  (std::vector<Record>{{one + "a.txt", two + "a.txt", std::string(RefusalText(refusal))}}));
    }
}

TEST(Leftovers, APassClearsAwayWhatAKilledCopyLeftAndADryRunLeavesIt) {
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "big.txt", std::string(1 << 20, 'b'), kBaseTime);
    std::filesystem::create_directories(two + "sub");
    const std::string leftover = LeaveKilledCopy(one + "big.txt", two + "sub/big.txt");
    ASSERT_FALSE(leftover.empty());
    std::filesystem::remove(one + "big.txt");
    const FixedSettings settings(one, two, SyncDirection::BothWays);
    RecordingObserver observer;
    RunPassOf(settings, observer, SyncOptions{.dryRun = true});
    EXPECT_TRUE(Exists(leftover));
    const SyncCounts counts = RunPassOf(settings, observer);
    EXPECT_FALSE(Exists(leftover));
    EXPECT_EQ(counts.filesListed, 0) << "it was never a file of the pass";
}

// A pass copied a.txt across; the user then saved it in place, and a later pass was killed in the middle of
// replacing it, with the save swapped out under a temporary name. The next pass puts the save back in its place
// before it compares, and clears away the killed copy.
TEST(Leftovers, APassPutsBackASaveThatAKilledReplacementSwappedOut) {
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "a.txt", "first", kBaseTime);
    const FixedSettings settings(one, two, SyncDirection::Folder1ToFolder2);
    RecordingObserver observer;
    ASSERT_EQ(RunPassOf(settings, observer).filesCopied, 1);
    std::ofstream(two + "a.txt", std::ios::app) << ", saved at the destination";
    const std::string taken = LeaveKilledExchange(two + "a.txt", "the killed copy's data");
    ASSERT_FALSE(taken.empty());

    RunPassOf(settings, observer);
    EXPECT_EQ(ReadFile(two + "a.txt"), "first, saved at the destination");
    EXPECT_EQ(NamesIn(two), std::vector<std::string>{"a.txt"});
}

// Run as root over two folders of another user who planted links: nothing outside the trees is written, read or
// matched through them, and each is reported. The user's own link to the user's own file still works.
TEST(PlantedLinks, NoLinkLendsThePassItsRights) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give the trees and the links to the user nobody";
    }
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    const std::string outside = MakeSide(tree, "outside");
    PutFile(outside + "victim.txt", "victim", kBaseTime);
    PutFile(outside + "secret.txt", "root only", kBaseTime);
    ::chmod((outside + "secret.txt").c_str(), 0600);
    PutFile(outside + "folder/x.txt", "outside x", kBaseTime + 2 * kSecond);
    PutFile(one + "a.txt", "new a", kBaseTime + kSecond);
    PutFile(two + "x.txt", "two x", kBaseTime);
    PutFile(tree / "users/own.txt", "the user's own", kBaseTime);
    const std::pair<std::string, std::string> links[] = {{two + "a.txt", outside + "victim.txt"},
                                                         {one + "secret.txt", outside + "secret.txt"},
                                                         {one + "dir", outside + "folder"},
                                                         {one + "own.txt", tree / "users/own.txt"}};
    for (const auto& [link, target] : links) {
        std::filesystem::create_symlink(target, link);
        ASSERT_EQ(::lchown(link.c_str(), kNobody, kNobody), 0);
    }
    for (const std::string& path : {one, two, tree / "users", tree / "users/own.txt"}) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    RecordingObserver observer;
    const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);

    EXPECT_EQ(ReadFile(outside + "victim.txt"), "victim");
    EXPECT_FALSE(Exists(two + "secret.txt"));
    EXPECT_EQ(ReadFile(outside + "folder/x.txt"), "outside x");
    EXPECT_EQ(ReadFile(two + "x.txt"), "two x");
    EXPECT_EQ(ReadFile(two + "own.txt"), "the user's own");
    const std::string cause(RefusalText(Refusal::LinkNotFollowed));
    EXPECT_EQ(observer.notRead, (std::vector<std::pair<std::string, std::string>>{
                                    {one + "dir", cause}, {one + "secret.txt", cause}, {two + "a.txt", cause}}));
    EXPECT_EQ(observer.notCopied, (std::vector<Record>{{one + "a.txt", two + "a.txt", cause}}));
    EXPECT_EQ(counts.notRead, 3);
}

// An ordinary user's pass over folders it may not read or write: nothing reads like "nothing to do".
TEST(PassFailures, EveryFailureIsToldWithItsCause) {
    struct Case {
        const char* what;
        std::function<void(const std::string& one, const std::string& two)> prepare;
        std::string expected; // what the observer heard, with the trees' folder written as T
    };
    const std::string denied = std::strerror(EACCES);
    const Case cases[] = {
        {"unwritable destination folder",
         [](const std::string&, const std::string& two) { ::chmod(two.c_str(), 0555); },
         "failed T/one/a.txt -> T/two/a.txt: cannot make the temporary file: " + denied +
             "\nfailed T/one/sub/b.txt -> T/two/b.txt: cannot make the temporary file: " + denied + "\n"},
        {"unreadable source file",
         [](const std::string& one, const std::string&) { ::chmod((one + "a.txt").c_str(), 0); },
         "failed T/one/a.txt -> T/two/a.txt: cannot open the source: " + denied + "\n"},
        {"unreadable subfolder", [](const std::string& one, const std::string&) { ::chmod((one + "sub").c_str(), 0); },
         "not read T/one/sub/: " + denied + "\n"},
        {"unreadable top folder", [](const std::string&, const std::string& two) { ::chmod(two.c_str(), 0); },
         "not read T/two/: " + denied + "\n"},
    };
    for (const Case& c : cases) {
        TempDir tree;
        ::chmod(tree.Path().c_str(), 0755);
        if (const auto reason = CannotRunAsNobodyIn(tree.Path())) {
            GTEST_SKIP() << *reason;
        }
        const std::string one = MakeSide(tree, "one");
        const std::string two = MakeSide(tree, "two");
        PutFile(one + "a.txt", "a", kBaseTime);
        PutFile(one + "sub/b.txt", "b", kBaseTime);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Path())) {
            ASSERT_EQ(::chown(entry.path().c_str(), kNobody, kNobody), 0);
        }
        c.prepare(one, two);
        const auto heard = RunAsNobody([&] {
            RecordingObserver observer;
            RunPassOf(FixedSettings(one, two, SyncDirection::Folder1ToFolder2), observer);
            std::string text;
            for (const Record& record : observer.notCopied) {
                text += "failed " + record.source + " -> " + record.destination + ": " + record.cause + "\n";
            }
            for (const auto& [path, cause] : observer.notRead) {
                text += "not read " + path + ": " + cause + "\n";
            }
            return text;
        });
        ASSERT_TRUE(heard.has_value()) << c.what;
        std::string expected = c.expected;
        // Searching on after each replacement: the tree's own path may hold "T/" too.
        for (std::size_t at = 0; (at = expected.find("T/", at)) != std::string::npos; at += tree.Path().size()) {
            expected.replace(at, 1, tree.Path());
        }
        EXPECT_EQ(*heard, expected) << c.what;
    }
}

} // namespace
} // namespace quillmere::test
