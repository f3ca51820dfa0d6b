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

} // namespace
} // namespace quillmere
