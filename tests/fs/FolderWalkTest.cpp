// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/FolderWalk.h"
#include "fs/AddFolder.h"
#include "platform/posix/UniqueFd.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <map>

namespace quillmere {
namespace {

using test::MakeFolder;
using test::TempDir;

// Paths below the test's folder, so that the expectations read as the tree does.
class FolderWalkTest : public ::testing::Test {
protected:
    std::string Root() const { return dir.Path() + "/R/"; }
    FolderList Walk(FolderList list, bool recurse = true, const WalkControl& control = {}) {
        GetSubDirectories2016(list, recurse, control);
        return list;
    }
    // The list with the test folder's path cut off each entry.
    FolderList Relative(const FolderList& list) const {
        FolderList relative;
        for (const std::string& path : list) {
            relative.push_back(path.starts_with(dir.Path() + "/") ? path.substr(dir.Path().size() + 1) : path);
        }
        return relative;
    }
    void Make(std::initializer_list<const char*> folders) const {
        for (const char* folder : folders) {
            MakeFolder(dir / folder);
        }
    }
    TempDir dir;
};

TEST(EnteringRule, HiddenSystemFoldersAndJunctionsOnlyAtTheRoot) {
    int rootQuestions = 0;
    const auto isRoot = [&](bool answer) {
        return [&rootQuestions, answer] {
            ++rootQuestions;
            return answer;
        };
    };
    EXPECT_FALSE(IsEnteredByRule(22, isRoot(false)));
    EXPECT_FALSE(IsEnteredByRule(1046, isRoot(false)));
    EXPECT_TRUE(IsEnteredByRule(22, isRoot(true))) << "a drive root carries hidden and system";
    EXPECT_TRUE(IsEnteredByRule(1046, isRoot(true)));
    EXPECT_EQ(rootQuestions, 4);
    EXPECT_TRUE(IsEnteredByRule(22 | 32, isRoot(false))) << "the archive bit makes it an ordinary folder";
    EXPECT_TRUE(IsEnteredByRule(16, isRoot(false)));
    EXPECT_TRUE(IsEnteredByRule(16 | 2, isRoot(false))) << "hidden alone";
    EXPECT_TRUE(IsEnteredByRule(16 | 4, isRoot(false))) << "system alone";
    EXPECT_TRUE(IsEnteredByRule(16 | 1024, isRoot(false))) << "a plain link";
    EXPECT_EQ(rootQuestions, 4) << "the root test is asked only when it decides";
}

TEST_F(FolderWalkTest, BreadthFirstOrder) {
    Make({"R", "R/B", "R/A", "R/A/A1", "R/B/B1", "R/A/A1/A11"});
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/A/", "R/B/", "R/A/A1/", "R/B/B1/", "R/A/A1/A11/"}));
}

TEST_F(FolderWalkTest, WithoutRecursionOneLevelOnly) {
    Make({"R", "R/A", "R/A/A1", "R/B"});
    EXPECT_EQ(Relative(Walk({Root()}, false)), (FolderList{"R/", "R/A/", "R/B/"}));
}

TEST_F(FolderWalkTest, EmptyAndMissingStartingFolders) {
    Make({"R"});
    EXPECT_EQ(Relative(Walk({Root()})), FolderList{"R/"});
    EXPECT_EQ(Relative(Walk({dir / "missing/"})), FolderList{"missing/"}) << "stays, yields nothing";
    EXPECT_EQ(Walk({}), FolderList{});
}

TEST_F(FolderWalkTest, HiddenDotFolderIsEntered) {
    Make({"R", "R/.git", "R/.git/objects"});
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/.git/", "R/.git/objects/"}));
}

// Old versions kept in a trash are never listed, matched or copied: the home trash where a synced tree holds it,
// and a drive's trashes in its top folder (below). Elsewhere a trash's name is a user's own folder, walked like
// any other, and so is a name that only starts like one.
TEST_F(FolderWalkTest, OnlyTheHomeTrashIsLeftOutBelowADrivesTop) {
    Make({"R", "R/.Trash", "R/.Trash/1000", "R/.Trash-1000", "R/.Trash-notes", "R/sub", "R/sub/.Trash-1000", "R/data",
          "R/data/Trash", "R/data/Trash/files"});
    const test::PrivateHomeTrash home(dir / "R/data");
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/.Trash/", "R/.Trash-1000/", "R/.Trash-notes/", "R/data/",
                                                    "R/sub/", "R/.Trash/1000/", "R/sub/.Trash-1000/"}));
}

TEST(FolderWalkAtADrivesTop, ItsTrashesAreLeftOutAndAUsersOwnFolderIsWalked) {
    if (const auto reason = test::FatMount::SkipReason()) {
        GTEST_SKIP() << *reason;
    }
    const test::FatMount fat;
    if (!fat.Mounted()) {
        GTEST_SKIP() << fat.Failure();
    }
    for (const char* folder : {"/.Trash", "/.Trash/0", "/.Trash-0", "/.Trash-1000", "/.Trash-notes", "/.Trash-"}) {
        MakeFolder(fat.Path() + folder);
    }
    FolderList list{fat.Path() + "/"};
    GetSubDirectories2016(list, true);
    EXPECT_EQ(list, (FolderList{fat.Path() + "/", fat.Path() + "/.Trash-/", fat.Path() + "/.Trash-notes/"}));
}

// Folder names follow the file-name rule: "?", control characters and bytes that are not UTF-8 are ordinary.
TEST_F(FolderWalkTest, EveryFolderNameIsEntered) {
    Make({"R", "R/ok", "R/tab\there", "R/tab\there/deep", "R/bad\xff", "R/what?", "R/c1\xc2\x85"});
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/bad\xff/", "R/c1\xc2\x85/", "R/ok/", "R/tab\there/",
                                                    "R/what?/", "R/tab\there/deep/"}));
}

// Folders are entered as deep as the system's limit allows (PATH_MAX, on the absolute path), and the first one
// beyond it is reported, not left out in silence.
TEST_F(FolderWalkTest, FoldersUpToTheSystemsLimitAreEnteredAndTheFirstBeyondItIsReported) {
    const std::string name(250, 'x');
    Make({"R"});
    // Each folder is made from the one above it, as no single path reaches the deepest.
    std::vector<platform::posix::UniqueFd> chain;
    chain.emplace_back(::open(Root().c_str(), O_PATH | O_DIRECTORY));
    // Until the deepest path, with its separator, is longer than the limit and the one above it is not.
    do {
        ASSERT_EQ(::mkdirat(chain.back().Get(), name.c_str(), 0755), 0);
        chain.emplace_back(::openat(chain.back().Get(), name.c_str(), O_PATH | O_DIRECTORY));
    } while (Root().size() + (chain.size() - 1) * (name.size() + 1) <= PATH_MAX);
    std::vector<std::pair<std::string, std::string>> notRead;
    WalkControl control;
    control.notRead = [&](const std::string& path, const std::string& cause) { notRead.emplace_back(path, cause); };
    const FolderList walked = Walk({Root()}, true, control);
    test::RunProgram("rm", {"-rf", dir / "R"}); // rm walks below PATH_MAX itself
    ASSERT_EQ(walked.size(), chain.size() - 1);
    EXPECT_GT(walked.back().size(), 2 * 260u);
    ASSERT_EQ(notRead.size(), 1u);
    EXPECT_EQ(notRead[0].first, walked.back() + name + "/");
    EXPECT_EQ(notRead[0].second, std::strerror(ENAMETOOLONG));
}

TEST_F(FolderWalkTest, LinkBackToAnAncestorIsNotEntered) {
    Make({"R", "R/A", "R/B"});
    std::filesystem::create_directory_symlink(dir / "R", dir / "R/A/up");
    std::filesystem::create_directory_symlink(dir / "R/A", dir / "R/A/self");
    std::filesystem::create_directory_symlink("/", dir / "R/B/top");
    std::filesystem::create_directory_symlink(dir.Path(), dir / "R/B/parent");
    std::filesystem::create_directory_symlink(dir / "R/B", dir / "R/A/sideways");
    // The sideways link leads to no folder above it, so it is walked (B's own links are caught there too).
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/A/", "R/B/", "R/A/sideways/"}));
}

TEST_F(FolderWalkTest, StartingFolderThatLeadsToItsParentIsWalkedOnce) {
    Make({"A"});
    std::filesystem::create_directory_symlink(dir.Path(), dir / "R");
    EXPECT_EQ(Relative(Walk({Root()})), (FolderList{"R/", "R/A/"}));
}

TEST_F(FolderWalkTest, TwoLoopsStayLinear) {
    Make({"R", "R/A", "R/B"});
    std::filesystem::create_directory_symlink(dir / "R", dir / "R/A/l1");
    std::filesystem::create_directory_symlink(dir / "R", dir / "R/B/l2");
    int examined = 0;
    WalkControl control;
    control.folderExamined = [&] { ++examined; };
    EXPECT_EQ(Relative(Walk({Root()}, true, control)), (FolderList{"R/", "R/A/", "R/B/"}));
    EXPECT_EQ(examined, 5) << "R, A, B and the two links, each once";
}

TEST_F(FolderWalkTest, StopRequestedReturnsWhatItHas) {
    Make({"R", "R/A", "R/A/A1"});
    WalkControl control;
    control.stopRequested = [] { return true; };
    EXPECT_EQ(Relative(Walk({Root()}, true, control)), FolderList{"R/"});
}

// The walk that keeps each folder's files gives the same folders, and for each the names GetFilesInFolder gives
// with the facts a look at each file by its path gives; a folder it returns without listing (a missing starting
// folder here) has none.
TEST_F(FolderWalkTest, WalkWithFilesGivesTheSameFoldersAndEachFoldersFilesWithTheirFacts) {
    Make({"R", "R/A", "R/A/A1", "R/.hidden"});
    for (const char* file : {"R/top.txt", "R/.dot", "R/A/a.txt", "R/A/A1/deep", "R/.hidden/h"}) {
        test::WriteFile(dir / file, "x");
    }
    std::filesystem::create_symlink(dir / "R/top.txt", dir / "R/A/link");

    FolderList list{Root(), dir / "missing/"};
    ListedFiles files;
    files.AddFolder("stale");
    (void)GetSubDirectoriesWithFiles(list, files, true);
    EXPECT_EQ(list, Walk({Root(), dir / "missing/"}));
    ASSERT_EQ(files.FolderCount(), list.size());
    for (std::size_t folder = 0; folder < list.size(); ++folder) {
        EXPECT_EQ(files.FolderPath(folder), list[folder]);
        std::vector<std::string> names;
        for (std::size_t file = files.FirstFileOf(folder); file < files.FirstFileOf(folder + 1); ++file) {
            names.emplace_back(files.NameOf(file));
            EXPECT_EQ(files.FactsOf(file), platform::ReadFileFacts(files.PathOf(file))) << files.PathOf(file);
        }
        EXPECT_EQ(names, list[folder] == dir / "missing/" ? std::vector<std::string>{} : GetFilesInFolder(list[folder]))
            << list[folder];
    }
    ASSERT_GE(files.Size(), 2u);
    EXPECT_EQ(files.PathOf(1), Root() + "top.txt");
}

// A pass that knows a folder did not change gives the walk the look it took before, and the walk's rules judge
// that look, not a fresh one: here a look that makes a plain folder a way back up to the top leaves it out.
TEST_F(FolderWalkTest, LooksTakenBeforeAreJudgedInsteadOfTheFoldersAsTheyAre) {
    Make({"R", "R/A", "R/B", "R/B/C"});
    std::map<std::string, FolderLook> told;
    WalkControl control;
    control.reading.looked = [&](const std::string& path, const FolderLook& look) { told[path] = look; };
    EXPECT_EQ(Walk({Root()}, true, control), (FolderList{Root(), Root() + "A/", Root() + "B/", Root() + "B/C/"}));
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[Root() + "A/"].identity, platform::ReadFolderIdentity(Root() + "A/"));

    std::map<std::string, FolderLook> before = told;
    before[Root() + "B/"].identity = told[Root()].identity;
    before.erase(Root() + "A/");
    told.clear();
    std::vector<std::string> asked;
    control.reading.lookedBefore = [&](const std::string& path) -> std::optional<FolderLook> {
        asked.push_back(path);
        const auto look = before.find(path);
        return look == before.end() ? std::nullopt : std::optional(look->second);
    };
    EXPECT_EQ(Walk({Root()}, true, control), (FolderList{Root(), Root() + "A/"}));
    EXPECT_EQ(asked, (std::vector<std::string>{Root(), Root() + "A/", Root() + "B/"}));
    EXPECT_EQ(told.size(), 1u) << "only the folder given no look is looked at again";
    EXPECT_TRUE(told.contains(Root() + "A/"));
}

TEST_F(FolderWalkTest, FilesAPassTakesNoPartInAreLeftOutOfTheListing) {
    Make({"R", "R/A"});
    for (const char* file : {"R/keep", "R/skip", "R/A/skip", "R/A/keep"}) {
        test::WriteFile(dir / file, "x");
    }
    std::vector<std::string> asked;
    WalkControl control;
    control.takesPart = [&](const std::string& folder, std::string_view name) {
        asked.push_back(folder + std::string(name));
        return name != "skip";
    };
    FolderList list{Root()};
    ListedFiles files;
    (void)GetSubDirectoriesWithFiles(list, files, true, control);
    ASSERT_EQ(files.Size(), 2u);
    EXPECT_EQ(files.PathOf(0), Root() + "keep");
    EXPECT_EQ(files.PathOf(1), Root() + "A/keep");
    EXPECT_EQ(asked,
              (std::vector<std::string>{Root() + "keep", Root() + "skip", Root() + "A/keep", Root() + "A/skip"}));
}

// The walk says whether its starting folders were read: a pass must not take a missing or unread top folder for
// an empty one.
TEST_F(FolderWalkTest, WalkWithFilesTellsWhetherItsStartingFoldersWereRead) {
    Make({"R", "R/A"});
    test::WriteFile(dir / "file", "x");
    struct Case {
        const char* name;
        FolderList start;
        bool stopped;
        bool read;
    };
    const Case cases[] = {
        {"a folder", {Root()}, false, true},
        {"a folder beside a missing one", {Root(), dir / "missing/"}, false, false},
        {"a missing folder", {dir / "missing/"}, false, false},
        {"a file", {dir / "file/"}, false, false},
        {"stopped before it", {Root()}, true, false},
    };
    for (const Case& c : cases) {
        WalkControl control;
        control.stopRequested = [&c] { return c.stopped; };
        FolderList list = c.start;
        ListedFiles files;
        EXPECT_EQ(GetSubDirectoriesWithFiles(list, files, true, control), c.read) << c.name;
    }
}

class RecordingSink : public ErrorSink {
public:
    void Report(const TrappedError& error) override { reports.push_back(error); }
    std::vector<TrappedError> reports;
};

TEST_F(FolderWalkTest, TrappedErrorIsReportedAndTheWalkGoesOn) {
    Make({"R", "R/A"});
    RecordingSink sink;
    WalkControl control;
    control.errors = &sink;
    control.folderExamined = [] { throw std::runtime_error("Out of memory"); };
    EXPECT_EQ(Relative(Walk({Root()}, true, control)), (FolderList{"R/", "R/A/"}));
    const TrappedError expected{"in DorrinTitle2021/08/31.AddFolder.GetSubDirectories2016 ", 114, "Out of memory"};
    EXPECT_EQ(sink.reports, (std::vector<TrappedError>{expected, expected}));
}

// Root reads every folder, so unreadable folders are tested in a child running as "nobody".
class UnreadableFolderTest : public FolderWalkTest {
protected:
    void SetUp() override {
        ::chmod(dir.Path().c_str(), 0755);
        if (const auto reason = test::CannotRunAsNobodyIn(dir.Path())) {
            GTEST_SKIP() << *reason;
        }
    }
    FolderList WalkAsNobody(const FolderList& list) {
        const auto walked = test::RunAsNobody([&] {
            std::string text;
            for (const std::string& entry : Walk(list)) {
                text += entry + '\n';
            }
            return text;
        });
        EXPECT_TRUE(walked.has_value()) << "the child running as nobody failed";
        FolderList result;
        std::istringstream lines(walked.value_or(""));
        for (std::string line; std::getline(lines, line);) {
            result.push_back(line);
        }
        return Relative(result);
    }
    void Close(const char* folder) const { ::chmod((dir / folder).c_str(), 0); }
};

TEST_F(UnreadableFolderTest, SeveralUnreadableFoldersAtOneLevelAreEachRemoved) {
    Make({"R", "R/A", "R/A/A1", "R/B", "R/C", "R/C/C1", "R/D"});
    Close("R/A");
    Close("R/C");
    EXPECT_EQ(WalkAsNobody({Root()}), (FolderList{"R/", "R/B/", "R/D/"}));
}

TEST_F(UnreadableFolderTest, UnreadableStartingFolderLeavesAnEmptyList) {
    Make({"R", "R/A"});
    Close("R");
    EXPECT_EQ(WalkAsNobody({Root()}), FolderList{});
}

} // namespace
} // namespace quillmere
