// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop.org Trash, checked with an independent client (trash-cli): what is kept is listed with its
// original path and deletion date, and restores to its place.
#include "platform/Trash.h"
#include "platform/posix/TrashInfo.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quillmere::platform {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

enum class Way { Link, Move };

bool Keep(TrashEntry& entry, Way way) {
    return way == Way::Link ? entry.KeepByLink() : entry.KeepByMove();
}

// As the copy will: the new content is renamed over the file (kept by link) or into its empty place (moved).
void KeepAndReplace(const std::string& file, Way way, const std::string& newContent) {
    TrashEntry kept(file);
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    ASSERT_TRUE(Keep(kept, way)) << kept.Error();
    const std::string temporary = std::filesystem::path(file).parent_path() / "~new";
    WriteFile(temporary, newContent);
    ASSERT_EQ(std::rename(temporary.c_str(), file.c_str()), 0);
    kept.Confirm();
}

std::size_t CountIn(const std::string& folder) {
    std::error_code missing;
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder, missing), std::filesystem::directory_iterator()));
}

class HomeTrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = test::TrashCliSkipReason()) {
            GTEST_SKIP() << *reason;
        }
    }
    test::PrivateHomeTrash home;
    TempDir dir;
    const std::string file = dir / "notes.txt";
};

TEST_F(HomeTrashTest, TrashCliListsEachKeptFileWithPathAndDateAndRestoresIt) {
    struct Case {
        std::string folder; // one per file: trash-restore picks by the start of the original path
        std::string name;
        Way way;
    };
    const std::vector<Case> cases = {
        {"plain-link", "notes.txt", Way::Link},
        {"blank-move", "with blank 50%20off.txt", Way::Move},
        {"utf8-link", "Grüße 日本.txt", Way::Link},
        {"newline-move", "two\nlines.txt", Way::Move},
        {"long-link", std::string(250, 'n') + ".txt", Way::Link}, // too long with ".trashinfo" appended
    };
    const std::string before = test::LocalTimeAsListed();
    for (const auto& [folder, name, way] : cases) {
        test::MakeFolder(dir / folder);
        WriteFile(dir / (folder + "/" + name), "old " + folder);
        KeepAndReplace(dir / (folder + "/" + name), way, "new");
    }
    const std::string after = test::LocalTimeAsListed();

    const std::string listing = test::TrashList();
    for (const auto& [folder, name, way] : cases) {
        const std::string original = dir / (folder + "/" + name);
        if (name.find('\n') == std::string::npos) { // trash-list's lines cannot show a newline
            const auto dates = test::ListedDatesOf(listing, original);
            ASSERT_EQ(dates.size(), 1u) << original << " in:\n" << listing;
            EXPECT_TRUE(before <= dates[0] && dates[0] <= after) << dates[0];
        }
        ASSERT_EQ(::unlink(original.c_str()), 0);
        ASSERT_TRUE(test::TrashRestoreFirst(dir / (folder + "/")));
        EXPECT_EQ(ReadFile(original), "old " + folder) << original;
    }
}

TEST_F(HomeTrashTest, SameNamesTakeFreshEntriesAndNeverOverwriteOne) {
    test::MakeFolder(dir / "a");
    test::MakeFolder(dir / "b");
    WriteFile(dir / "a/notes.txt", "a");
    WriteFile(dir / "b/notes.txt", "b");
    // A file in files/ without its .trashinfo, as a crash between the two steps leaves it.
    std::filesystem::create_directories(home.Path() + "/files");
    WriteFile(home.Path() + "/files/notes.txt", "left over");

    TrashEntry first(dir / "a/notes.txt");
    TrashEntry second(dir / "b/notes.txt");
    ASSERT_TRUE(first.KeepByMove()) << first.Error();
    ASSERT_TRUE(second.KeepByMove()) << second.Error();
    first.Confirm();
    second.Confirm();

    EXPECT_EQ(ReadFile(home.Path() + "/files/notes.txt"), "left over");
    const std::string listing = test::TrashList();
    for (const char* folder : {"a", "b"}) {
        EXPECT_EQ(test::ListedDatesOf(listing, dir / (std::string(folder) + "/notes.txt")).size(), 1u) << listing;
        ASSERT_TRUE(test::TrashRestoreFirst(dir / (std::string(folder) + "/")));
        EXPECT_EQ(ReadFile(dir / (std::string(folder) + "/notes.txt")), folder);
    }
}

TEST_F(HomeTrashTest, RollbackPutsTheFileBackAndEmptiesTheTrash) {
    for (const Way way : {Way::Link, Way::Move}) {
        WriteFile(file, "old");
        {
            TrashEntry kept(file);
            ASSERT_TRUE(Keep(kept, way)) << kept.Error();
            if (way == Way::Link) {
                EXPECT_TRUE(kept.Rollback()) << kept.Error();
            } // else the destructor rolls back what was not confirmed
        }
        EXPECT_EQ(ReadFile(file), "old");
        EXPECT_EQ(CountIn(home.Path() + "/files"), 0u);
        EXPECT_EQ(CountIn(home.Path() + "/info"), 0u);
    }
}

TEST_F(HomeTrashTest, RollbackKeepsTheOldFileWhenItsPlaceHoldsAnotherOne) {
    for (const Way way : {Way::Link, Way::Move}) {
        WriteFile(file, "old");
        TrashEntry kept(file);
        ASSERT_TRUE(Keep(kept, way)) << kept.Error();
        WriteFile(file + ".new", "new");
        ASSERT_EQ(std::rename((file + ".new").c_str(), file.c_str()), 0);

        EXPECT_FALSE(kept.Rollback());
        EXPECT_EQ(ReadFile(file), "new");
        EXPECT_EQ(test::ListedDatesOf(test::TrashList(), file).size(), 1u) << "the old file is still in the trash";
        ASSERT_EQ(::unlink(file.c_str()), 0);
        ASSERT_TRUE(test::TrashRestoreFirst(file));
        EXPECT_EQ(ReadFile(file), "old");
    }
}

TEST_F(HomeTrashTest, FailureLeavesNoTrashInfoAndSaysWhy) {
    WriteFile(file, "old");
    {
        TrashEntry kept(file);
        ASSERT_TRUE(kept.Reserved());
        ASSERT_EQ(CountIn(home.Path() + "/info"), 1u);
        ASSERT_EQ(::unlink(file.c_str()), 0); // gone before it could be kept
        EXPECT_FALSE(kept.KeepByLink());
        EXPECT_FALSE(kept.KeepByMove());
        EXPECT_EQ(kept.Failure(), TrashFailure::Failed);
        EXPECT_NE(kept.Error().find("No such file or directory"), std::string::npos) << kept.Error();
    }
    EXPECT_EQ(CountIn(home.Path() + "/info"), 0u);
    EXPECT_EQ(CountIn(home.Path() + "/files"), 0u);
}

TEST_F(HomeTrashTest, UnusableHomeTrashRefusesToKeepAndSaysWhere) {
    WriteFile(file, "old");
    WriteFile(home.Path(), "a file where the trash should be");
    TrashEntry kept(file);
    EXPECT_FALSE(kept.Reserved());
    EXPECT_FALSE(kept.KeepByLink()); // asked anyway: the reason stays
    EXPECT_EQ(kept.Failure(), TrashFailure::Failed);
    EXPECT_NE(kept.Error().find(home.Path()), std::string::npos) << kept.Error();
    EXPECT_EQ(ReadFile(file), "old");
}

// Another device than the home trash's: a tmpfs mounted for the test, whose top folder can hold a shared .Trash.
class MountTrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = test::TrashCliSkipReason()) {
            GTEST_SKIP() << *reason;
        }
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting a tmpfs needs root";
        }
        test::MakeFolder(top);
        mounted = test::RunProgram("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", top}) == 0;
        if (!mounted) {
            GTEST_SKIP() << "cannot mount a tmpfs on " << top;
        }
    }
    void TearDown() override {
        if (mounted) {
            test::RunProgram("umount", {top});
        }
    }
    test::PrivateHomeTrash home;
    TempDir dir;
    const std::string top = dir / "mount";
    bool mounted = false;
};

TEST_F(MountTrashTest, SharedTrashIsUsedOnlyWhenStickyAndNoLink) {
    const std::string uid = std::to_string(::geteuid());
    struct Case {
        const char* shared; // what $topdir/.Trash is
        std::string trash;  // where the file must be kept
    };
    const std::vector<Case> cases = {
        {"missing", ".Trash-" + uid},
        {"not sticky", ".Trash-" + uid},
        {"link to a sticky folder", ".Trash-" + uid},
        {"sticky folder whose own folder is another user's", ".Trash-" + uid},
        {"sticky folder", ".Trash/" + uid},
    };
    for (const auto& [shared, trash] : cases) {
        const std::string shape(shared);
        if (shape == "not sticky" || shape.starts_with("sticky folder")) {
            test::MakeFolder(top + "/.Trash");
            ::chmod((top + "/.Trash").c_str(), shape == "not sticky" ? 0777 : 01777);
            if (shape != "sticky folder") {
                test::MakeFolder(top + "/.Trash/" + uid);
                ASSERT_EQ(::chown((top + "/.Trash/" + uid).c_str(), test::kNobody, test::kNobody), 0);
            }
        } else if (shape == "link to a sticky folder") {
            test::MakeFolder(top + "/elsewhere");
            ::chmod((top + "/elsewhere").c_str(), 01777);
            std::filesystem::create_directory_symlink("elsewhere", top + "/.Trash");
        }
        test::MakeFolder(top + "/sub");
        WriteFile(top + "/sub/doc.txt", "old");
        KeepAndReplace(top + "/sub/doc.txt", Way::Link, "new");

        EXPECT_EQ(ReadFile(top + "/" + trash + "/files/doc.txt"), "old") << shared;
        // Relative to the top folder, so that the drive's entries restore wherever it is mounted next.
        EXPECT_NE(ReadFile(top + "/" + trash + "/info/doc.txt.trashinfo").find("\nPath=sub/doc.txt\n"),
                  std::string::npos);
        EXPECT_EQ(test::ListedDatesOf(test::TrashList(), top + "/sub/doc.txt").size(), 1u) << shared;
        for (const auto& entry : std::filesystem::directory_iterator(top)) {
            std::filesystem::remove_all(entry.path());
        }
    }
}

// A drive's .Trash-UID that another user made (or that shows every file as someone else's, as a share mounted for
// another user does) would let that user read what is kept: the home trash takes the file, by a copy.
TEST_F(MountTrashTest, AnotherUsersTrashIsNeverUsedAndTheHomeTrashTakesACopy) {
    const std::string theirs = top + "/.Trash-" + std::to_string(::geteuid());
    test::MakeFolder(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), test::kNobody, test::kNobody), 0);
    WriteFile(top + "/doc.txt", "old");
    TrashEntry kept(top + "/doc.txt");
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    EXPECT_FALSE(kept.KeepByLink());
    ASSERT_TRUE(kept.NeedsCopy());
    ASSERT_TRUE(kept.KeepByCopy()) << kept.Error();
    WriteFile(top + "/new", "new");
    ASSERT_EQ(std::rename((top + "/new").c_str(), (top + "/doc.txt").c_str()), 0);
    kept.Confirm();

    EXPECT_EQ(CountIn(theirs + "/files"), 0u);
    EXPECT_EQ(ReadFile(home.Path() + "/files/doc.txt"), "old");
    EXPECT_EQ(test::ListedDatesOf(test::TrashList(), top + "/doc.txt").size(), 1u);
    ASSERT_EQ(::unlink((top + "/doc.txt").c_str()), 0);
    ASSERT_TRUE(test::TrashRestoreFirst(top + "/doc.txt"));
    EXPECT_EQ(ReadFile(top + "/doc.txt"), "old");
}

// The freedesktop rules make a relative XDG_DATA_HOME invalid: the home trash is then under HOME.
TEST(HomeTrashFolder, ARelativeDataHomeIsIgnored) {
    const test::PrivateHomeTrash absolute;
    ASSERT_EQ(HomeTrashFolder(), absolute.Path());
    const test::PrivateHomeTrash relative("relative/data");
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(HomeTrashFolder(), std::string(home) + "/.local/share/Trash");
}

TEST(TrashNames, ShortenedNameNeverSplitsACharacter) {
    std::string name;
    for (int i = 0; i < 120; ++i) {
        name += "é";
    }
    name += ".txt"; // 244 bytes
    const std::string candidate = posix::CandidateTrashName(name, 2);
    EXPECT_LE(candidate.size() + posix::kTrashInfoSuffix.size(), 255u);
    EXPECT_TRUE(candidate.ends_with("é_2.txt")) << candidate;
}

} // namespace
} // namespace quillmere::platform
