// SPDX-License-Identifier: GPL-3.0-or-later
// Passes between an ordinary folder and a real FAT folder (FUSE), whose times are kept in 2-second steps: the
// pair settles after one copy, and a real edit on either side is still copied.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/FatMount.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace quillmere::test {
namespace {

constexpr std::int64_t kMillisecond = 1'000'000;

class FatPass : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::optional<std::string> reason = FatMount::SkipReason()) {
            GTEST_SKIP() << *reason;
        }
        fat_ = std::make_unique<FatMount>();
        if (!fat_->Mounted()) {
            GTEST_SKIP() << fat_->Failure();
        }
        fatFolder = fat_->Path() + "/";
    }

    std::int64_t Pass(const std::string& one, const std::string& two, SyncDirection direction,
                      const SyncOptions& options = {}) {
        observer = RecordingObserver{};
        const SyncCounts counts = RunPassOf(FixedSettings(one, two, direction), observer, options);
        EXPECT_TRUE(observer.errors.empty()) << observer.errors.front().description;
        return counts.filesCopied;
    }

    TempDir dir;
    std::string local = MakeSide(dir, "local");
    std::string fatFolder;
    RecordingObserver observer;

private:
    std::unique_ptr<FatMount> fat_;
};

TEST_F(FatPass, BothWaysSettlesAfterOneCopy) {
    PutFile(local + "a.txt", "a", kBaseTime + 1700 * kMillisecond);
    PutFile(local + "sub/b.txt", "b", kBaseTime + 300 * kMillisecond);
    PutFile(fatFolder + "c.txt", "c", kBaseTime + 3 * kSecond);
    PutFile(local + "d.txt", "local d", kBaseTime + 5 * kSecond + 900 * kMillisecond);
    PutFile(fatFolder + "d.txt", "fat d", kBaseTime);
    for (int round = 0; round < 2; ++round) {
        // Either side may be Folder 1.
        const bool fatFirst = round == 1;
        EXPECT_GT(fatFirst ? Pass(fatFolder, local, SyncDirection::BothWays)
                           : Pass(local, fatFolder, SyncDirection::BothWays),
                  0);
        EXPECT_EQ(fatFirst ? Pass(fatFolder, local, SyncDirection::BothWays)
                           : Pass(local, fatFolder, SyncDirection::BothWays),
                  0);
        PutFile(local + "e" + std::to_string(round), "new", kBaseTime + 7 * kSecond + 100 * kMillisecond);
    }
    EXPECT_EQ(ReadFile(fatFolder + "a.txt"), "a");
    EXPECT_EQ(ReadFile(fatFolder + "d.txt"), "local d");
    EXPECT_EQ(ReadFile(local + "c.txt"), "c");
}

// The side that receives the copy is the FAT folder, as Folder 2 (1to2) or as Folder 1 (2to1).
TEST_F(FatPass, OneWaySettlesAfterOneCopy) {
    for (SyncDirection direction : {SyncDirection::Folder1ToFolder2, SyncDirection::Folder2ToFolder1}) {
        PutFile(local + "a.txt", "newer", kBaseTime + 1700 * kMillisecond);
        PutFile(fatFolder + "a.txt", "older", kBaseTime - 10 * kSecond);
        const bool fatFirst = direction == SyncDirection::Folder2ToFolder1;
        const std::string& one = fatFirst ? fatFolder : local;
        const std::string& two = fatFirst ? local : fatFolder;
        EXPECT_EQ(Pass(one, two, direction), 1);
        EXPECT_EQ(ReadFile(fatFolder + "a.txt"), "newer");
        EXPECT_EQ(Pass(one, two, direction), 0);
    }
}

TEST_F(FatPass, RealEditOnEitherSideIsStillCopied) {
    PutFile(local + "a.txt", "v1", kBaseTime + 1700 * kMillisecond);
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::BothWays), 1);

    PutFile(local + "a.txt", "v2", kBaseTime + 4 * kSecond + 100 * kMillisecond);
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::BothWays), 1);
    EXPECT_EQ(ReadFile(fatFolder + "a.txt"), "v2");

    PutFile(fatFolder + "a.txt", "v3", kBaseTime + 8 * kSecond);
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::BothWays), 1);
    EXPECT_EQ(ReadFile(local + "a.txt"), "v3");
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::BothWays), 0);
}

// The copy onto FAT cuts the time to its 2-second step; a dry run decides the same copies, each straight from the
// newest file.
TEST_F(FatPass, DryRunDecidesAsARealRun) {
    PutFile(local + "x/a.txt", "newest", kBaseTime + 3700 * kMillisecond);
    PutFile(local + "y/a.txt", "older", kBaseTime + 1600 * kMillisecond);
    PutFile(fatFolder + "a.txt", "oldest", kBaseTime - 10 * kSecond);
    const std::string before = Snapshot(dir.Path()) + Snapshot(fatFolder);
    Pass(local, fatFolder, SyncDirection::BothWays, SyncOptions{.dryRun = true});
    const std::vector<CopyRecord> dry = observer.copies;
    EXPECT_EQ(Snapshot(dir.Path()) + Snapshot(fatFolder), before);
    Pass(local, fatFolder, SyncDirection::BothWays);
    EXPECT_EQ(dry, observer.copies);
    EXPECT_EQ(observer.copies, (std::vector<CopyRecord>{{local + "x/a.txt", local + "y/a.txt"},
                                                        {local + "x/a.txt", fatFolder + "a.txt"}}));
}

// FAT takes "Report.txt" and "report.txt" for one name: of the two the newer lands there, whatever the walk's order,
// and the other is refused with that reason, at this pass and the next.
TEST_F(FatPass, OfNamesDifferingOnlyInLetterCaseTheNewerLands) {
    for (const bool lowerIsNewer : {true, false}) {
        // A folder of its own each time: FUSE may keep a removed file's other-case name cached for a while.
        const std::string stick = fatFolder + (lowerIsNewer ? "lower/" : "upper/");
        std::filesystem::create_directory(stick);
        PutFile(local + "Report.txt", "upper", kBaseTime + (lowerIsNewer ? 0 : 10) * kSecond);
        PutFile(local + "report.txt", "lower", kBaseTime + (lowerIsNewer ? 10 : 0) * kSecond);
        const std::string newer = lowerIsNewer ? "report.txt" : "Report.txt";
        const std::string older = lowerIsNewer ? "Report.txt" : "report.txt";
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(Pass(local, stick, SyncDirection::Folder1ToFolder2), pass == 0 ? 1 : 0);
            EXPECT_EQ(observer.notCopied,
                      (std::vector<RecordingObserver::NotCopiedRecord>{
                          {local + older, stick + older, "another file there differs only in letter case"}}))
                << newer << " newer, pass " << pass;
        }
        EXPECT_EQ(NamesIn(stick), std::vector<std::string>{newer});
        EXPECT_EQ(ReadFile(stick + newer), lowerIsNewer ? "lower" : "upper");
    }
}

// The stick keeps no hard links, so what a pass replaces moves into the stick's own trash, where an independent
// client lists each file with its place and deletion date and restores it. The trash, at the stick's top, takes
// no part in the next pass.
TEST_F(FatPass, ReplacedFilesGoToTheSticksTrashWhereTrashCliFindsThem) {
    if (const auto reason = TrashCliSkipReason()) {
        GTEST_SKIP() << *reason;
    }
    PutFile(local + "a.txt", "new a", kBaseTime + 10 * kSecond);
    PutFile(local + "b.txt", "new b", kBaseTime + 10 * kSecond);
    PutFile(fatFolder + "a.txt", "old a", kBaseTime);
    PutFile(fatFolder + "sub/b.txt", "old b", kBaseTime);
    const std::string before = LocalTimeAsListed();
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::Folder1ToFolder2), 2);
    const std::string after = LocalTimeAsListed();
    EXPECT_EQ(observer.kept, (std::vector<std::string>{fatFolder + "a.txt", fatFolder + "sub/b.txt"}));
    EXPECT_EQ(Pass(local, fatFolder, SyncDirection::BothWays), 0);

    EXPECT_EQ(CheckKeptAndRestore({{fatFolder + "a.txt", "old a"}, {fatFolder + "sub/b.txt", "old b"}}, before, after),
              "");
}

} // namespace
} // namespace quillmere::test
