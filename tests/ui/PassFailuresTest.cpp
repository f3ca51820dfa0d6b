// SPDX-License-Identifier: GPL-3.0-or-later
// What a pass could not do, as the window tells it: counted in full, listed one record a line, bounded.
#include "ui/main/PassFailures.h"
#include "ScriptedWorld.h"

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

TEST(PassFailuresTest, TheSummaryCountsEachKindInWords) {
    struct Case {
        int notCopied;
        int notRead;
        std::string summary;
    };
    const Case cases[] = {
        {0, 0, ""},
        {1, 0, "1 file not copied"},
        {2, 0, "2 files not copied"},
        {0, 1, "1 folder not read"},
        {3, 2, "3 files not copied, 2 folders not read"},
    };
    for (const Case& c : cases) {
        PassFailures failures;
        for (int i = 0; i < c.notCopied; ++i) {
            failures.NotCopied(Native("/a/f"), Native("/b/f"), "Permission denied");
        }
        for (int i = 0; i < c.notRead; ++i) {
            failures.NotRead(Native("/a/sub/"), "Permission denied");
        }
        EXPECT_EQ(failures.Summary(), c.summary);
        EXPECT_EQ(failures.Empty(), c.summary.empty());
    }
}

TEST(PassFailuresTest, AFailingPassKeepsTheFirstLinesAndCountsTheRest) {
    PassFailures failures(2);
    for (const char* name : {"/a/1", "/a/2", "/a/3", "/a/4", "/a/5"}) {
        failures.NotCopied(Native(name), Native("/b/x"), "No space left on device");
    }
    const std::vector<std::string> lines = failures.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "failed " + Native("/a/1") + " -> " + Native("/b/x") + ": No space left on device");
    EXPECT_EQ(lines[1].rfind("failed " + Native("/a/2") + " ", 0), 0u);
    EXPECT_EQ(lines[2], "... and 3 more, not listed");
    EXPECT_EQ(failures.Summary(), "5 files not copied");
}

// A name may hold a line break: it must not make two lines of one record.
TEST(PassFailuresTest, EachRecordIsOneLineWhateverTheNamesHold) {
    PassFailures failures;
    failures.NotRead(Native("/a/two\nlines/"), "Permission denied");
    EXPECT_EQ(failures.Lines(),
              std::vector<std::string>{"not read " + Native("/a/two\\nlines/") + ": Permission denied"});
    EXPECT_EQ(failures.FirstCause(), "two\\nlines: Permission denied");
}

TEST(PassFailuresTest, TheFirstCauseNamesTheFirstFailuresFileAndWhy) {
    PassFailures failures;
    failures.NotCopied(Native("/a/deep/notes.txt"), Native("/b/notes.txt"), "File too large");
    failures.NotRead(Native("/a/private/"), "Permission denied");
    EXPECT_EQ(failures.FirstCause(), "notes.txt: File too large");
}

} // namespace
} // namespace quillmere::test
