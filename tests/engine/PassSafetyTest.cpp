// SPDX-License-Identifier: GPL-3.0-or-later
// A pass stops between files when asked, reports a failing statement and goes on, and never writes into a
// folder it could not read.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/ChildProcess.h"

#include "base/ErrorTrap.h"
#include "platform/FileCopy.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace quillmere::test {
namespace {

// The comparison and the copies settled as the pass ends are two steps, each with its own line: a failure to tell a
// copy names the one it came from.
TEST(PassFailure, TheComparisonAndTheLastCopiesAreToldAtLinesOfTheirOwn) {
    class ThrowingObserver : public RecordingObserver {
    public:
        void Copied(const std::string& /*source*/, const std::string& /*destination*/) override {
            throw std::runtime_error("Out of memory");
        }
    };
    struct Case {
        const char* what;
        bool addition; // else a newer file of a name both sides hold
        bool stopOnceWritten;
        int line;
    };
    const Case cases[] = {
        {"a newer file, copied by the comparison", false, false, 192},
        {"an addition, copied as the stopped pass ends", true, true, 194},
    };
    for (const Case& c : cases) {
        TempDir tree;
        const std::string one = MakeSide(tree, "one");
        const std::string two = MakeSide(tree, "two");
        PutFile(one + "a", "new", kBaseTime + kSecond);
        if (!c.addition) {
            PutFile(two + "a", "old", kBaseTime);
        }
        ThrowingObserver observer;
        bool written = false;
        observer.onStage = [&](const std::string&, const std::string&, platform::CopyStage stage) {
            written = written || stage == platform::CopyStage::DataWritten;
        };
        observer.stopWhen = [&](const RecordingObserver&) { return c.stopOnceWritten && written; };
        RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);
        ASSERT_EQ(observer.errors.size(), 1u) << c.what;
        EXPECT_EQ(observer.errors[0],
                  (TrappedError{"in Quillmere2021/08/31.modSync.SyncFolders ", c.line, "Out of memory"}))
            << c.what;
    }
}

TEST(PassStop, StopsBetweenFiles) {
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    for (const char* name : {"a", "b", "c", "d"}) {
        PutFile(one + name, name, kBaseTime);
    }
    // Asked to stop once two files are written: those two are still put in place and told, no other is begun.
    RecordingObserver observer;
    int written = 0;
    observer.onStage = [&](const std::string&, const std::string&, platform::CopyStage stage) {
        written += stage == platform::CopyStage::DataWritten ? 1 : 0;
    };
    observer.stopWhen = [&](const RecordingObserver&) { return written == 2; };
    const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);
    EXPECT_EQ(counts.filesCopied, 2);
    EXPECT_EQ(observer.copies.size(), 2u);
    EXPECT_EQ(NamesIn(two), (std::vector<std::string>{"a", "b"}));
}

TEST(PassStop, StopDuringTheWalkCopiesNothing) {
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "s/a", "a", kBaseTime);
    PutFile(two + "s/b", "b", kBaseTime);
    RecordingObserver observer;
    observer.stopWhen = [](const RecordingObserver& self) { return self.last.foldersWalked > 0; };
    const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);
    EXPECT_EQ(counts.filesCopied, 0);
    EXPECT_FALSE(Exists(one + "b"));
    EXPECT_FALSE(Exists(two + "a"));
}

// Closing the window or SIGTERM while same-named pairs are compared: no pair after the request is copied.
TEST(PassStop, StopWhileComparingCopiesNothingFurther) {
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        PutFile(one + name, "newer", kBaseTime + kSecond);
        PutFile(two + name, "older", kBaseTime);
    }
    RecordingObserver observer;
    observer.stopWhen = [](const RecordingObserver& self) { return self.last.pairsCompared >= 2; };
    const SyncCounts counts = RunPassOf(FixedSettings(one, two, SyncDirection::BothWays), observer);
    EXPECT_EQ(counts.filesCopied, 2);
    for (const char* name : {"c", "d", "e"}) {
        EXPECT_EQ(ReadFile(two + name), "older") << name;
    }
}

TEST(PassErrors, FailingStatementIsReportedAndThePassGoesOn) {
    class DirectionFailsOnce : public FixedSettings {
    public:
        using FixedSettings::FixedSettings;
        SyncDirection Direction() const override {
            if (calls_++ == 0) {
                throw std::runtime_error("Object required");
            }
            return FixedSettings::Direction();
        }

    private:
        mutable int calls_ = 0;
    };
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "only1", "1", kBaseTime);
    PutFile(one + "both", "new", kBaseTime + kSecond);
    PutFile(two + "both", "old", kBaseTime);
    RecordingObserver observer;
    RunPassOf(DirectionFailsOnce(one, two, SyncDirection::BothWays), observer);

    // The additions could not learn their direction and copy nothing; the comparison that follows still runs.
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0],
              (TrappedError{"in Quillmere2021/08/31.modSync.SyncFolders ", 154, "Object required"}));
    EXPECT_FALSE(Exists(two + "only1"));
    EXPECT_EQ(ReadFile(two + "both"), "new");
}

// A file saved into the top folder after the pass listed it is newer than anything the pass knows of; an addition
// of the same name from the other side must not replace it unseen.
TEST(PassRace, FileSavedAfterTheListingIsNotReplacedByAnAddition) {
    class SavesBeforeTheAdditions : public FixedSettings {
    public:
        SavesBeforeTheAdditions(const std::string& one, const std::string& two)
            : FixedSettings(one, two, SyncDirection::BothWays), saved_(one + "a.txt") {}
        // The direction is first read once both sides are listed, just before the additions are copied.
        SyncDirection Direction() const override {
            if (!Exists(saved_)) {
                PutFile(saved_, "saved during the pass", kBaseTime + kSecond);
            }
            return FixedSettings::Direction();
        }

    private:
        std::string saved_;
    };
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(two + "a.txt", "old", kBaseTime);
    RecordingObserver observer;
    RunPassOf(SavesBeforeTheAdditions(one, two), observer);
    EXPECT_EQ(ReadFile(one + "a.txt"), "saved during the pass");
    EXPECT_TRUE(observer.copies.empty());
}

// Each file's facts are read once, by the listing. A file saved after that is not compared afresh, but neither is
// it replaced: the copy finds it changed, reports so, and the next pass compares it.
TEST(PassRace, FileSavedAfterTheListingIsNotReplacedByTheNewerFileOfItsPair) {
    class SavesBeforeTheComparison : public FixedSettings {
    public:
        SavesBeforeTheComparison(const std::string& one, const std::string& two)
            : FixedSettings(one, two, SyncDirection::BothWays), saved_(two + "a.txt") {}
        SyncDirection Direction() const override {
            if (++calls_ == 2) { // the first pair, after the additions
                PutFile(saved_, "saved during the pass", kBaseTime + 2 * kSecond);
            }
            return FixedSettings::Direction();
        }

    private:
        std::string saved_;
        mutable int calls_ = 0;
    };
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "a.txt", "newer when listed", kBaseTime + kSecond);
    PutFile(two + "a.txt", "older when listed", kBaseTime);
    RecordingObserver observer;
    const SyncCounts counts = RunPassOf(SavesBeforeTheComparison(one, two), observer);
    EXPECT_EQ(ReadFile(two + "a.txt"), "saved during the pass");
    EXPECT_EQ(ReadFile(one + "a.txt"), "newer when listed");
    EXPECT_EQ(counts.copiesRefused, 1);
    ASSERT_EQ(observer.notCopied.size(), 1u);
    EXPECT_EQ(observer.notCopied[0].cause, platform::RefusalText(platform::Refusal::DestinationChanged));
}

// A folder that cannot be listed looks empty; filling it from the other side would overwrite, without
// comparing times, files that are newer than the ones copied over them.
TEST(UnreadableFolder, NothingIsCopiedIntoAFolderThatCannotBeListed) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the folders to another user and run the pass as that user";
    }
    TempDir tree;
    const std::string one = MakeSide(tree, "one");
    const std::string two = MakeSide(tree, "two");
    PutFile(one + "a.txt", "old", kBaseTime);
    PutFile(one + "b.txt", "only in one", kBaseTime);
    PutFile(two + "a.txt", "newer, unseen", kBaseTime + kSecond);
    for (const std::string& path : {tree.Path(), one, one + "a.txt", one + "b.txt", two, two + "a.txt"}) {
        ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    }
    // Writable and enterable, but not listable.
    ASSERT_EQ(chmod(two.c_str(), 0333), 0);
    for (SyncDirection direction : kAllDirections) {
        const std::optional<std::string> copies = RunAsNobody([&] {
            RecordingObserver observer;
            return std::to_string(RunPassOf(FixedSettings(one, two, direction), observer).filesCopied);
        });
        EXPECT_EQ(copies, "0");
    }
    chmod(two.c_str(), 0755);
    EXPECT_EQ(ReadFile(two + "a.txt"), "newer, unseen");
    EXPECT_FALSE(Exists(two + "b.txt"));
}

} // namespace
} // namespace quillmere::test
