// SPDX-License-Identifier: GPL-3.0-or-later
// The same passes between a local folder and each kind of folder users sync with, with the Trash on and off: the
// pair settles after one copy each way, an edit on either side arrives and its old version is restorable with
// trash-cli, a save at the destination during a copy is kept, and a pass killed during a batch leaves every file
// old or new and nothing the next pass does not clear.
#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"
#include "platform/posix/StableFactsProbe.h"
#include "tests/engine/TreeFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MountedFolder.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>

namespace quillmere::test {
namespace {

constexpr int kFilesPerSide = 20;
constexpr std::int64_t kFraction = 852'616'047; // every digit set, which a coarser step cuts

std::string Numbered(const char* stem, int i) {
    return stem + std::to_string(i) + ".txt";
}

// Each side's files at times with nanoseconds, a second apart.
void PutSides(const std::string& local, const std::string& remote) {
    for (int i = 1; i <= kFilesPerSide; ++i) {
        PutFile(local + Numbered("l", i), Numbered("l", i), kBaseTime + i * kSecond + kFraction);
        PutFile(remote + Numbered("r", i), Numbered("r", i), kBaseTime + i * kSecond + kFraction);
    }
}

// The trash folders a pass may have kept files in: the home trash and the mount's own.
std::vector<std::string> TrashesOf(const std::string& mount, const PrivateHomeTrash& home) {
    const std::string uid = std::to_string(::geteuid());
    return {home.Path(), mount + "/.Trash-" + uid, mount + "/.Trash/" + uid};
}

// Every kept file has its .trashinfo and every .trashinfo its file.
std::string StrayEntries(const std::vector<std::string>& trashes) {
    std::string stray;
    for (const std::string& trash : trashes) {
        if (!std::filesystem::exists(trash + "/files")) {
            continue;
        }
        std::vector<std::string> files = NamesIn(trash + "/files");
        for (std::string& name : files) {
            name += ".trashinfo";
        }
        if (files != NamesIn(trash + "/info")) {
            stray += trash + " holds files and .trashinfo files that do not pair up\n";
        }
    }
    return stray;
}

std::vector<std::string> TemporariesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : NamesIn(folder)) {
        if (platform::IsTemporaryName(name)) {
            found.push_back(name);
        }
    }
    return found;
}

class StorageMatrix : public ::testing::TestWithParam<FolderKind> {
protected:
    void SetUp() override {
        for (const auto& reason : {MountedFolder::SkipReason(GetParam()), TrashCliSkipReason()}) {
            if (reason) {
                GTEST_SKIP() << *reason;
            }
        }
        mount_ = std::make_unique<MountedFolder>(GetParam());
        if (!mount_->Mounted()) {
            GTEST_SKIP() << NameOf(GetParam()) << ": " << mount_->Failure();
        }
    }

    // The copies of one both-ways pass; every copy is expected to be made.
    std::int64_t Pass(const std::string& local, const std::string& remote, bool keep) {
        RecordingObserver observer;
        const SyncCounts counts = RunPassOf(FixedSettings(local, remote, SyncDirection::BothWays), observer,
                                            SyncOptions{.dryRun = false, .keepReplaced = keep});
        for (const auto& failed : observer.notCopied) {
            ADD_FAILURE() << failed.destination << ": " << failed.cause;
        }
        return counts.filesCopied;
    }

    void Scenario(bool keep);

    std::unique_ptr<MountedFolder> mount_;
    TempDir dir_;
};

// A save at the destination while the copy's data is written is kept, and comes back the other way.
void SaveDuringCopyIsKept(const std::string& local, const std::string& remote, bool keep) {
    PutFile(local + "l7.txt", "edited l7", kBaseTime + 300 * kSecond);
    RecordingObserver observer;
    observer.onStage = [&](const std::string&, const std::string& destination, platform::CopyStage stage) {
        if (stage == platform::CopyStage::DataWritten && destination == remote + "l7.txt") {
            WriteFile(destination, "saved meanwhile");
            // fusefat leaves the time of a write as it was, and takes a new one only with the access time.
            const timespec saved{static_cast<time_t>(kBaseTime / kSecond + 500), 0};
            const timespec times[2] = {saved, saved};
            ASSERT_EQ(::utimensat(AT_FDCWD, destination.c_str(), times, 0), 0);
        }
    };
    RunPassOf(FixedSettings(local, remote, SyncDirection::BothWays), observer,
              SyncOptions{.dryRun = false, .keepReplaced = keep});
    ASSERT_EQ(observer.notCopied.size(), 1u);
    EXPECT_EQ(observer.notCopied[0].cause, platform::RefusalText(platform::Refusal::DestinationChanged));
    EXPECT_EQ(ReadFile(remote + "l7.txt"), "saved meanwhile");
}

// Killed after two of five copies of one batch are in place: each file is old or new, and the next pass
// completes the rest and clears the killed copies' temporary files.
void KilledBatchLeavesOldOrNew(const std::string& local, const std::string& remote, bool keep) {
    for (int i = 10; i < 15; ++i) {
        PutFile(local + Numbered("l", i), "new " + Numbered("l", i), kBaseTime + 400 * kSecond);
    }
    const auto finished = RunInChild([&] {
        RecordingObserver observer;
        int checked = 0;
        observer.onStage = [&](const std::string&, const std::string&, platform::CopyStage stage) {
            if (stage == platform::CopyStage::Checked && ++checked == 3) {
                std::raise(SIGKILL);
            }
        };
        RunPassOf(FixedSettings(local, remote, SyncDirection::BothWays), observer,
                  SyncOptions{.dryRun = false, .keepReplaced = keep});
        return std::string("not killed");
    });
    EXPECT_FALSE(finished.has_value());
    for (int i = 10; i < 15; ++i) {
        const std::string content = ReadFile(remote + Numbered("l", i));
        EXPECT_TRUE(content == Numbered("l", i) || content == "new " + Numbered("l", i)) << content;
    }
}

void StorageMatrix::Scenario(bool keep) {
    const PrivateHomeTrash home;
    const std::string side = keep ? "kept" : "replaced";
    const std::string local = MakeSide(dir_, side);
    const std::string remote = mount_->Path() + "/" + side + "/";
    MakeFolder(remote);
    PutSides(local, remote);

    const std::string before = LocalTimeAsListed();
    // The first pass in a process of its own, as a command run once is: what its copies showed of the folder's
    // time step goes with it, and the next pass must find the step by itself.
    const auto first = RunInChild([&] { return std::to_string(Pass(local, remote, keep)); });
    EXPECT_EQ(first, std::to_string(2 * kFilesPerSide));
    EXPECT_EQ(Pass(local, remote, keep), 0) << "the copies' times, as the folder keeps them, count as the same";
    PutFile(local + "l3.txt", "edited l3", kBaseTime + 100 * kSecond);
    EXPECT_EQ(Pass(local, remote, keep), 1);
    EXPECT_EQ(ReadFile(remote + "l3.txt"), "edited l3");
    PutFile(remote + "r5.txt", "edited r5", kBaseTime + 200 * kSecond);
    EXPECT_EQ(Pass(local, remote, keep), 1);
    EXPECT_EQ(ReadFile(local + "r5.txt"), "edited r5");
    EXPECT_EQ(Pass(local, remote, keep), 0);
    const std::string after = LocalTimeAsListed();

    SaveDuringCopyIsKept(local, remote, keep);
    EXPECT_EQ(Pass(local, remote, keep), 1) << "the save comes back";
    EXPECT_EQ(ReadFile(local + "l7.txt"), "saved meanwhile");
    const std::vector<std::string> trashes = TrashesOf(mount_->Path(), home);
    EXPECT_EQ(StrayEntries(trashes), "");

    KilledBatchLeavesOldOrNew(local, remote, keep);
    Pass(local, remote, keep);
    EXPECT_EQ(Pass(local, remote, keep), 0);
    EXPECT_EQ(TemporariesIn(remote), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(remote + "l14.txt"), "new l14.txt");
    if (keep) {
        EXPECT_EQ(CheckKeptAndRestore({{remote + "l3.txt", "l3.txt"}, {local + "r5.txt", "r5.txt"}}, before, after),
                  "");
    } else {
        for (const std::string& trash : trashes) {
            EXPECT_FALSE(std::filesystem::exists(trash + "/files") && !NamesIn(trash + "/files").empty()) << trash;
        }
    }
}

TEST_P(StorageMatrix, SettlesDeliversEditsAndLosesNothing) {
    Scenario(false);
    Scenario(true);
    // What the note on each kind of folder tells: the step learned and whether inode numbers hold.
    const platform::posix::UniqueFd folder(::open(mount_->Path().c_str(), O_PATH | O_DIRECTORY));
    const platform::posix::TemporarySibling probe(folder.Get());
    const auto stable = platform::posix::ProbeStableFacts(folder.Get(), probe);
    std::cout << NameOf(GetParam()) << ": time step " << platform::TimeResolution(mount_->Path())
              << " ns, inode numbers " << (stable && stable->identity ? "kept" : "made up") << "\n";
}

// What a copy reads back of the time it set tells the folder's step as a probe does.
TEST_P(StorageMatrix, ACopyLearnsTheTimeStepAProbeMeasures) {
    const TempDir local;
    WriteFile(local / "a.txt", "a");
    SetLastWriteNs(local / "a.txt", kBaseTime + kFraction);
    const platform::CopyOutcome outcome = platform::CopyFileFailSafe(
        platform::CopyRequest{.source = local / "a.txt", .destination = mount_->Path() + "/a.txt"});
    ASSERT_EQ(outcome.status, platform::CopyStatus::Copied) << outcome.cause;
    const std::int64_t learned = platform::TimeResolution(mount_->Path());
    EXPECT_EQ(learned, platform::MeasureTimeResolution(mount_->Path()));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, StorageMatrix, ::testing::ValuesIn(kEveryFolderKind),
                         [](const ::testing::TestParamInfo<FolderKind>& kind) {
                             std::string name = NameOf(kind.param);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace quillmere::test
