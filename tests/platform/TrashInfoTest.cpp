// SPDX-License-Identifier: GPL-3.0-or-later
// What the program reads back of a .trashinfo, and the names it tries in a trash.
#include "platform/posix/TrashInfo.h"

#include <gtest/gtest.h>

namespace quillmere::platform::posix {
namespace {

TEST(TrashInfoText, WhatIsWrittenReadsBackWithTheProgramsKey) {
    std::tm date{};
    date.tm_year = 126;
    date.tm_mon = 11;
    date.tm_mday = 9;
    const std::string path = "/home/ann/50% off\nnotes/Grüße.txt";
    const std::optional<TrashInfoFields> read = ParseTrashInfo(TrashInfoText(path, date, 1'796'794'075));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->path, path);
    EXPECT_EQ(read->keptAt, std::optional<std::int64_t>(1'796'794'075));
}

TEST(TrashInfoText, WhatNoTrashClientCanReadHasNoFields) {
    struct Case {
        const char* what;
        std::string text;
        bool readable;
        std::optional<std::int64_t> keptAt;
    };
    const Case cases[] = {
        {"empty, as a kill after the exclusive create leaves it", "", false, {}},
        {"cut short inside the date", "[Trash Info]\nPath=/a.txt\nDeletionDate=2026-12", false, {}},
        {"cut short before the date", "[Trash Info]\nPath=/a.txt\n", false, {}},
        {"without its group", "Path=/a.txt\nDeletionDate=2026-12-09T05:00:00\n", false, {}},
        {"an escape cut short", "[Trash Info]\nPath=/a%2\nDeletionDate=2026-12-09T05:00:00\n", false, {}},
        {"an empty path", "[Trash Info]\nPath=\nDeletionDate=2026-12-09T05:00:00\n", false, {}},
        {"another program's entry", "[Trash Info]\nPath=/a.txt\nDeletionDate=2026-12-09T05:00:00\n", true, {}},
        {"the key cut short",
         "[Trash Info]\nPath=/a.txt\nDeletionDate=2026-12-09T05:00:00\nX-Quillmere-KeptAt=17",
         true,
         {}},
        {"the key not a number",
         "[Trash Info]\nPath=/a.txt\nDeletionDate=2026-12-09T05:00:00\nX-Quillmere-KeptAt=12ab\n",
         true,
         {}},
    };
    for (const Case& c : cases) {
        const std::optional<TrashInfoFields> read = ParseTrashInfo(c.text);
        EXPECT_EQ(read.has_value(), c.readable) << c.what;
        if (read) {
            EXPECT_EQ(read->keptAt, c.keptAt) << c.what;
        }
    }
}

TEST(TrashNames, TheNamesAFileMayTakeAreToldFromOthers) {
    struct Case {
        const char* trashName;
        bool ofLogTxt;
    };
    const Case cases[] = {
        {"log.txt", true},           {"log_2.txt", true},
        {"log_10000.txt", true},     {"log_00c0ffee00c0ffee.txt", true},
        {"log_1.txt", false},  // the first name has no number
        {"log_02.txt", false}, // never written with a leading zero
        {"log_2.txt.txt", false},    {"log_00C0FFEE00C0FFEE.txt", false},
        {"log_00c0ffee.txt", false}, {"catalog.txt", false},
        {"log.txt_2", false},        {"log_2", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsCandidateTrashName(c.trashName, "log.txt"), c.ofLogTxt) << c.trashName;
    }
    const std::string longName = std::string(250, 'n') + ".txt";
    for (const std::string& name : {std::string("log.txt"), longName}) {
        for (const std::string& candidate :
             {CandidateTrashName(name, 1), CandidateTrashName(name, 10'000), UniqueTrashName(name, ~0ULL)}) {
            EXPECT_TRUE(candidate.starts_with(TrashNamePrefix(name))) << candidate;
        }
    }
    EXPECT_TRUE(IsCandidateTrashName(UniqueTrashName("log.txt", 0x123), "log.txt"));
    EXPECT_TRUE(IsCandidateTrashName(CandidateTrashName("log.txt", 9'999), "log.txt"));
}

} // namespace
} // namespace quillmere::platform::posix
