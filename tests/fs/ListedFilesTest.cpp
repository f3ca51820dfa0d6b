// SPDX-License-Identifier: GPL-3.0-or-later
// A tree's listing kept lean: names beside their folders, facts packed, and folders kept or dropped in place.
#include "fs/ListedFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillmere {
namespace {

platform::FileFacts Facts(std::uint64_t device, std::uint64_t inode, std::int64_t seconds) {
    return platform::FileFacts{{device, inode}, inode * 10, {seconds, 999'999'999}, {-seconds, 1}};
}

std::vector<std::string> Paths(const ListedFiles& files) {
    std::vector<std::string> paths;
    for (std::size_t file = 0; file < files.Size(); ++file) {
        paths.push_back(files.PathOf(file));
    }
    return paths;
}

TEST(ListedFiles, KeepsEveryFactAndTheFilesGoneBeforeTheyWereLookedAt) {
    ListedFiles files;
    files.AddFolder("/t/");
    const std::optional<platform::FileFacts> facts[] = {Facts(7, 1, 100), std::nullopt, Facts(9, 2, -5),
                                                        Facts(UINT64_MAX, UINT64_MAX, INT64_MIN), Facts(7, 3, 1)};
    for (const auto& each : facts) {
        files.AddFile("f", each);
    }
    for (std::size_t file = 0; file < files.Size(); ++file) {
        EXPECT_EQ(files.FactsOf(file), facts[file]) << file;
        EXPECT_EQ(files.LastWriteTimeOf(file), facts[file] ? std::optional(facts[file]->lastWriteTime) : std::nullopt);
    }
}

// Empty folders start where the next one does: each file still belongs to the folder it was added to.
TEST(ListedFiles, EachFileKnowsItsFolderAcrossEmptyOnes) {
    ListedFiles files;
    files.AddFolder("/t/");
    files.AddFolder("/t/a/");
    files.AddFile("x", std::nullopt);
    files.AddFile("yy", std::nullopt);
    files.AddFolder("/t/b/");
    files.AddFolder("/t/c/");
    files.AddFile("", std::nullopt);
    files.AddFile("z", std::nullopt);
    files.AddFolder("/t/d/");
    EXPECT_EQ(Paths(files), (std::vector<std::string>{"/t/a/x", "/t/a/yy", "/t/c/", "/t/c/z"}));
    EXPECT_EQ(files.FolderOf(1), 1u);
    EXPECT_EQ(files.FolderOf(2), 3u);
    EXPECT_EQ(files.FirstFileOf(2), 2u);
    EXPECT_EQ(files.FirstFileOf(4), 4u);
    EXPECT_EQ(files.FirstFileOf(5), 4u);
}

TEST(ListedFiles, KeptFoldersCloseTheGapsOfDroppedOnesAndNewOnesComeEmpty) {
    ListedFiles files;
    for (const char* folder : {"/t/", "/t/gone/", "/t/kept/", "/t/also gone/"}) {
        files.AddFolder(folder);
        files.AddFile(std::string(folder).substr(3) + "1", Facts(1, files.Size(), 1));
        files.AddFile("2", Facts(1, files.Size(), 2));
    }
    files.KeepFolders({"/t/", "/t/new/", "/t/kept/"}, {0, std::nullopt, 2});
    EXPECT_EQ(Paths(files), (std::vector<std::string>{"/t/1", "/t/2", "/t/kept/kept/1", "/t/kept/2"}));
    EXPECT_EQ(files.FolderCount(), 3u);
    EXPECT_EQ(files.FolderPath(1), "/t/new/");
    EXPECT_EQ(files.FirstFileOf(2), 2u);
    EXPECT_EQ(files.FactsOf(2), Facts(1, 4, 1));
    EXPECT_EQ(files.FactsOf(3), Facts(1, 5, 2));
}

TEST(ListedFiles, FoldersKeptOutOfTheirOrderAreRefusedAndNothingMoves) {
    ListedFiles files;
    files.AddFolder("/a/");
    files.AddFile("1", std::nullopt);
    files.AddFolder("/b/");
    files.AddFile("2", std::nullopt);
    EXPECT_THROW(files.KeepFolders({"/b/", "/a/"}, {1, 0}), std::invalid_argument);
    EXPECT_THROW(files.KeepFolders({"/a/", "/a/"}, {0, 0}), std::invalid_argument);
    EXPECT_THROW(files.KeepFolders({"/c/"}, {2}), std::invalid_argument);
    EXPECT_EQ(Paths(files), (std::vector<std::string>{"/a/1", "/b/2"}));
}

// A folder taken over from an earlier listing must read exactly as if each of its files had been added again,
// whatever devices either listing knew first and wherever the folder's block lay.
TEST(ListedFiles, FilesTakenFromAnotherListingReadAsIfAddedOneByOne) {
    const std::optional<platform::FileFacts> facts[] = {Facts(5, 1, 10), std::nullopt, Facts(3, 2, -7), Facts(5, 3, 1)};
    ListedFiles before;
    before.AddFolder("/t/");
    before.AddFile("first", Facts(9, 9, 9));
    before.AddFolder("/t/empty/");
    before.AddFolder("/t/a/");
    for (std::size_t i = 0; i < std::size(facts); ++i) {
        before.AddFile(std::string(i + 1, 'n'), facts[i]);
    }
    before.AddFolder("/t/z/");
    before.AddFile("last", Facts(5, 8, 8));

    ListedFiles taken;
    ListedFiles added;
    for (ListedFiles* files : {&taken, &added}) {
        files->AddFolder("/u/");
        files->AddFile("own", Facts(3, 4, 4));
        files->AddFolder("/u/a/");
    }
    taken.AddFilesOf(before, 2);
    taken.AddFilesOf(before, 1);
    for (std::size_t i = 0; i < std::size(facts); ++i) {
        added.AddFile(std::string(i + 1, 'n'), facts[i]);
    }
    taken.AddFolder("/u/b/");
    added.AddFolder("/u/b/");
    taken.AddFile("after", Facts(5, 6, 6));
    added.AddFile("after", Facts(5, 6, 6));

    EXPECT_EQ(Paths(taken), Paths(added));
    ASSERT_EQ(taken.Size(), added.Size());
    for (std::size_t file = 0; file < taken.Size(); ++file) {
        EXPECT_EQ(taken.FactsOf(file), added.FactsOf(file)) << file;
        EXPECT_EQ(taken.FolderOf(file), added.FolderOf(file)) << file;
    }
}

// The files of one folder, as a listing of it gives them.
struct FolderFiles {
    std::string path;
    std::vector<std::string> names;
};

ListedFiles ListingOf(const std::vector<FolderFiles>& folders) {
    ListedFiles files;
    for (const FolderFiles& folder : folders) {
        files.AddFolder(folder.path);
        for (const std::string& name : folder.names) {
            files.AddFile(name, name[0] == 'z' ? std::nullopt
                                               : std::optional(Facts(name.size() % 2 == 0 ? 4 : 6, name.size(),
                                                                     static_cast<std::int64_t>(name[0]))));
        }
    }
    return files;
}

// Each folder's path, where its files start, and each file's path, facts and folder.
std::vector<std::string> Everything(const ListedFiles& files) {
    std::vector<std::string> lines;
    for (std::size_t folder = 0; folder <= files.FolderCount(); ++folder) {
        lines.push_back((folder < files.FolderCount() ? files.FolderPath(folder) : std::string("end")) + " from " +
                        std::to_string(files.FirstFileOf(folder)));
    }
    for (std::size_t file = 0; file < files.Size(); ++file) {
        const auto facts = files.FactsOf(file);
        lines.push_back(files.PathOf(file) + " in " + std::to_string(files.FolderOf(file)) + ": " +
                        (facts ? std::to_string(facts->identity.device) + "/" + std::to_string(facts->identity.inode) +
                                     "/" + std::to_string(facts->lastWriteTime.seconds)
                               : std::string("gone")));
    }
    return lines;
}

struct Replacement {
    const char* what;
    std::size_t folder;
    std::vector<std::string> names;
};

// A folder read again and put in place of its block reads exactly as a listing made afresh with it: the later
// folders' files move by the change in number and in the length of the names, and keep their facts.
TEST(ListedFiles, FolderReplacedReadsAsIfListedAfresh) {
    const std::vector<FolderFiles> before{
        {"/t/", {"top"}}, {"/t/a/", {"x", "yy", "zzz"}}, {"/t/empty/", {}}, {"/t/b/", {"yy", "w"}}};
    const Replacement replacements[] = {
        {"the same names", 1, {"x", "yy", "zzz"}},
        {"a file renamed, as long", 1, {"x", "qq", "zzz"}},
        {"a file renamed longer", 1, {"x", "yyyyyy", "zzz"}},
        {"a file added", 1, {"x", "yy", "new", "zzz"}},
        {"a file removed", 1, {"x", "zzz"}},
        {"all removed", 1, {}},
        {"files in an empty folder", 2, {"n1", "n2"}},
        {"the first folder", 0, {"top", "other"}},
        {"the last folder", 3, {"yy"}},
    };
    for (const Replacement& replacement : replacements) {
        ListedFiles files = ListingOf(before);
        std::vector<FolderFiles> after = before;
        after[replacement.folder].names = replacement.names;
        const ListedFiles expected = ListingOf(after);
        std::vector<std::optional<platform::FileFacts>> facts;
        for (std::size_t file = expected.FirstFileOf(replacement.folder);
             file < expected.FirstFileOf(replacement.folder + 1); ++file) {
            facts.push_back(expected.FactsOf(file));
        }
        files.ReplaceFilesOf(replacement.folder, replacement.names, facts);
        EXPECT_EQ(Everything(files), Everything(expected)) << replacement.what;
    }
}

} // namespace
} // namespace quillmere
