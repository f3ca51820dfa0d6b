// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the arguments of quillmere-sync.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillmere::cli {
namespace {

ParseResult Parse(std::vector<std::string_view> args) {
    return ParseCommandLine(args);
}

std::string InWorkingFolder(const std::string& relative) {
    return std::filesystem::current_path().string() + "/" + relative;
}

TEST(ParseCommandLine, TakesOptionsInAnyOrderAndNormalizesTheFolders) {
    const ParseResult result =
        Parse({"--dry-run", "/data//one", "--direction", "2to1", "two/", "--no-trash", "--every", "30"});
    ASSERT_EQ(result.error, "");
    const CommandLine& line = result.commandLine;
    EXPECT_EQ(line.action, Action::Sync);
    EXPECT_EQ(line.direction, SyncDirection::Folder2ToFolder1);
    EXPECT_TRUE(line.dryRun);
    EXPECT_FALSE(line.keepReplaced);
    EXPECT_EQ(line.everySeconds, 30);
    EXPECT_EQ(line.folder1, "/data/one/");
    EXPECT_EQ(line.folder2, InWorkingFolder("two/"));
}

// The system's limit on paths then counts the same however a folder is typed.
TEST(ParseCommandLine, RelativeFoldersBecomeAbsolute) {
    const ParseResult relative = Parse({"a", "sub/b"});
    const ParseResult absolute = Parse({InWorkingFolder("a"), InWorkingFolder("sub/b")});
    ASSERT_EQ(relative.error, "");
    EXPECT_EQ(relative.commandLine.folder1, absolute.commandLine.folder1);
    EXPECT_EQ(relative.commandLine.folder2, absolute.commandLine.folder2);
    EXPECT_EQ(relative.commandLine.folder1, InWorkingFolder("a/"));
}

TEST(ParseCommandLine, DefaultsToOnePassBothWays) {
    const ParseResult result = Parse({"a", "b"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.commandLine.direction, SyncDirection::BothWays);
    EXPECT_FALSE(result.commandLine.dryRun);
    EXPECT_TRUE(result.commandLine.keepReplaced) << "replaced files go to the Trash unless --no-trash";
    EXPECT_FALSE(result.commandLine.everySeconds);
}

TEST(ParseCommandLine, DoubleDashEndsTheOptions) {
    const ParseResult result = Parse({"--", "--odd", "-x"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.commandLine.folder1, InWorkingFolder("--odd/"));
    EXPECT_EQ(result.commandLine.folder2, InWorkingFolder("-x/"));
}

TEST(ParseCommandLine, HelpAndVersionWinOverEverythingAfterThem) {
    EXPECT_EQ(Parse({"--help", "--bogus"}).commandLine.action, Action::Help);
    EXPECT_EQ(Parse({"a", "--version"}).commandLine.action, Action::Version);
    EXPECT_EQ(VersionText().rfind("quillmere-sync ", 0), 0u);
}

TEST(ParseCommandLine, NamesEachProblem) {
    const std::pair<std::vector<std::string_view>, std::string> cases[] = {
        {{}, "missing argument: FOLDER1 and FOLDER2"},
        {{"a"}, "missing argument: FOLDER2"},
        {{"a", "b", "c"}, "too many arguments: 'c' after FOLDER2"},
        {{"a", ""}, "missing argument: a folder is given as empty text"},
        {{"--fast", "a", "b"}, "unknown option: --fast"},
        {{"-x", "a", "b"}, "unknown option: -x"},
        {{"a", "b", "--direction"}, "missing argument: --direction needs a value"},
        {{"a", "b", "--every"}, "missing argument: --every needs a value"},
        {{"--direction", "both-ways", "a", "b"}, "bad direction 'both-ways': use both, 1to2 or 2to1"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(Parse(args).error, error);
    }
}

// As other tools take them: short names for the two options used most, and a value after "=".
TEST(ParseCommandLine, TakesShortNamesAndValuesAfterAnEqualsSign) {
    const ParseResult result = Parse({"-n", "--every=30", "--direction=1to2", "a", "b"});
    ASSERT_EQ(result.error, "");
    EXPECT_TRUE(result.commandLine.dryRun);
    EXPECT_EQ(result.commandLine.everySeconds, 30);
    EXPECT_EQ(result.commandLine.direction, SyncDirection::Folder1ToFolder2);
    EXPECT_EQ(Parse({"-h", "--bogus"}).commandLine.action, Action::Help);
    const std::pair<std::vector<std::string_view>, std::string> wrong[] = {
        {{"--dry-run=yes", "a", "b"}, "option --dry-run takes no value"},
        {{"--direction=", "a", "b"}, "bad direction '': use both, 1to2 or 2to1"},
        {{"--turbo=1", "a", "b"}, "unknown option: --turbo=1"},
        {{"-nh", "a", "b"}, "unknown option: -nh"},
    };
    for (const auto& [args, error] : wrong) {
        EXPECT_EQ(Parse(args).error, error);
    }
}

TEST(ParseCommandLine, KeepsTheFoldersAsTypedToNameThem) {
    const ParseResult result = Parse({"notes//", "/data/../two"});
    EXPECT_EQ(result.commandLine.typedFolder1, "notes//");
    EXPECT_EQ(result.commandLine.typedFolder2, "/data/../two");
}

TEST(ParseCommandLine, SecondsMustBeAWholeNumberFromOne) {
    for (std::string_view bad : {"0", "-5", "+5", "1.5", "5s", " 5", "", "2147483648", "99999999999"}) {
        EXPECT_EQ(Parse({"--every", bad, "a", "b"}).error.rfind("bad SECONDS '" + std::string(bad) + "'", 0), 0u)
            << bad;
    }
    EXPECT_EQ(Parse({"--every", "2147483647", "a", "b"}).commandLine.everySeconds, 2147483647);
}

} // namespace
} // namespace quillmere::cli
