// SPDX-License-Identifier: GPL-3.0-or-later
// The copy never loses a save and never stamps a valid time on a mixture: files are changed at the exact stage
// of a copy where a race would do it, and the copy must notice.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/TemporarySibling.h"
#include "tests/platform/FileTestNames.h"
#include "tests/support/KilledCopy.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace quillmere::platform {
namespace {

constexpr std::int64_t kOldTime = 1'600'000'000'000'000'000;
constexpr std::int64_t kNewTime = kOldTime + 1'000'000'000;

// A save as editors make it: a new file renamed over the old one.
void SaveEditorStyle(const std::string& path, const std::string& text) {
    WriteFile(path + ".saving", text);
    std::filesystem::rename(path + ".saving", path);
}

// An in-place rewrite that leaves size and last-write time as they were (cp -p over an equal-sized file).
void RewriteKeepingTime(const std::string& path) {
    const std::int64_t time = test::LastWriteNs(path);
    std::string text = ReadFile(path);
    std::reverse(text.begin(), text.end());
    WriteFile(path, text);
    test::SetLastWriteNs(path, time);
}

struct Race {
    const char* what;
    bool destinationThere;
    std::optional<CopyStage> when; // no value: before the copy starts
    std::function<void(const std::string& source, const std::string& destination)> change;
    Refusal expected;
    // Kept in the trash for the copy, the old file was then replaced by a save, not by the copy: the trash holds
    // its last copy, and keeps it.
    bool oldFileStaysInTrash = false;
};

std::vector<std::string> NamesInIfAny(const std::string& folder) {
    return std::filesystem::exists(folder) ? NamesIn(folder) : std::vector<std::string>{};
}

TEST(CopyChecks, AChangeAtAnyStageOfTheCopyIsNoticedAndLosesNothing) {
    const Race races[] = {
        {"source restored with an older time after the comparison", true, std::nullopt,
         [](const std::string& source, const std::string&) { test::SetLastWriteNs(source, kOldTime - 1); },
         Refusal::SourceChanged},
        {"source rewritten in place, its time put back", true, CopyStage::DataWritten,
         [](const std::string& source, const std::string&) { RewriteKeepingTime(source); }, Refusal::SourceChanged},
        {"source saved anew", true, CopyStage::DataWritten,
         [](const std::string& source, const std::string&) { SaveEditorStyle(source, "newest source"); },
         Refusal::SourceChanged},
        {"destination saved in place", true, CopyStage::DataWritten,
         [](const std::string&, const std::string& destination) { WriteFile(destination, "saved"); },
         Refusal::DestinationChanged},
        {"destination saved in place at the last moment", true, CopyStage::Checked,
         [](const std::string&, const std::string& destination) { WriteFile(destination, "saved"); },
         Refusal::DestinationChanged},
        {"destination saved anew at the last moment", true, CopyStage::Checked,
         [](const std::string&, const std::string& destination) { SaveEditorStyle(destination, "saved"); },
         Refusal::DestinationChanged, true},
        {"a file appears where there was none", false, CopyStage::DataWritten,
         [](const std::string&, const std::string& destination) { WriteFile(destination, "saved"); },
         Refusal::DestinationExists},
        {"a file appears at the last moment", false, CopyStage::Checked,
         [](const std::string&, const std::string& destination) { WriteFile(destination, "saved"); },
         Refusal::DestinationExists},
    };
    for (const bool keep : {false, true}) {
        for (const Race& race : races) {
            const test::PrivateHomeTrash trash;
            TempDir dir;
            test::MakeFolder(dir / "dst");
            const std::string source = dir / "source.txt";
            const std::string destination = dir / "dst/f.txt";
            WriteFile(source, "new version of the file");
            test::SetLastWriteNs(source, kNewTime);
            if (race.destinationThere) {
                WriteFile(destination, "old");
                test::SetLastWriteNs(destination, kOldTime);
            }
            CopyRequest request{.source = source,
                                .destination = destination,
                                .sourceAsCompared = ReadFileFacts(source),
                                .destinationAsCompared = ReadFileFacts(destination),
                                .keepReplaced = keep};
            request.onStage = [&](CopyStage stage) {
                if (stage == race.when) {
                    race.change(source, destination);
                }
            };
            if (!race.when) {
                race.change(source, destination);
            }
            const std::string destinationBefore = race.destinationThere ? ReadFile(destination) : "";
            const CopyOutcome outcome = CopyFileFailSafe(request);

            EXPECT_EQ(outcome.status, CopyStatus::Refused) << race.what;
            EXPECT_EQ(outcome.refusal, race.expected) << race.what;
            if (race.expected == Refusal::SourceChanged) {
                EXPECT_EQ(ReadFile(destination), destinationBefore) << race.what;
                EXPECT_EQ(test::LastWriteNs(destination), kOldTime) << race.what;
            } else {
                EXPECT_EQ(ReadFile(destination), "saved") << race.what;
            }
            EXPECT_EQ(NamesIn(dir / "dst"), std::vector<std::string>{"f.txt"}) << race.what;
            const bool oldInTrash = keep && race.oldFileStaysInTrash;
            EXPECT_EQ(NamesInIfAny(trash.Path() + "/files"),
                      oldInTrash ? std::vector<std::string>{"f.txt"} : std::vector<std::string>{})
                << race.what;
            EXPECT_EQ(NamesInIfAny(trash.Path() + "/info").size(), oldInTrash ? 1u : 0u) << race.what;
        }
    }
}

// A copy killed halfway leaves its temporary file; no one holds it any more, so it is cleared away. One that a
// copy still holds, and anything not named by the program's own rule or not marked as the program's, stays.
TEST(Leftovers, OnlyTheProgramsOwnUnheldTemporaryFilesAreRemoved) {
    TempDir dir;
    WriteFile(dir / "big.txt", std::string(1 << 20, 'b'));
    const std::string leftover = test::LeaveKilledCopy(dir / "big.txt", dir / "copy.txt");
    ASSERT_FALSE(leftover.empty()) << "the killed copy left no temporary file";
    EXPECT_EQ(std::filesystem::file_size(leftover), 1u << 20);

    const posix::UniqueFd folder(::open(dir.Path().c_str(), O_PATH | O_DIRECTORY));
    const posix::TemporarySibling held(folder.Get());
    const std::string lookalike = dir / TemporaryName("link");
    std::filesystem::create_symlink(leftover, lookalike);
    WriteFile(dir / "~other.partial", "another program's");
    // A user's file under the name, as a crash between a copy's exchange and its swap back leaves it.
    const std::string unmarked = dir / TemporaryName("saved");
    WriteFile(unmarked, "a save");

    EXPECT_FALSE(RemoveLeftoverTemporary(lookalike)) << "a link is no leftover, nor is what it leads to";
    EXPECT_FALSE(RemoveLeftoverTemporary(dir / held.Name())) << "a copy still holds it";
    EXPECT_FALSE(RemoveLeftoverTemporary(dir / "~other.partial"));
    EXPECT_FALSE(RemoveLeftoverTemporary(unmarked)) << "this file system keeps marks, and it carries none";
    EXPECT_TRUE(RemoveLeftoverTemporary(leftover));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    std::vector<std::string> kept{"big.txt", held.Name(), TemporaryName("link"), "~other.partial",
                                  TemporaryName("saved")};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(NamesIn(dir.Path()), kept);
}

TEST(TemporaryName, OnlyTheProgramsOwnPattern) {
    EXPECT_TRUE(IsTemporaryName(TemporaryName("0123abcdEF-9")));
    for (const char* name : {"~quillmere-.partial", "~quillmere-a b.partial", "~quillmere-x.partial.txt",
                             "quillmere-x.partial", "~quillmere-XXXXXX", "~other.partial"}) {
        EXPECT_FALSE(IsTemporaryName(name)) << name;
    }
    EXPECT_TRUE(TakesNoPart(TemporaryName("x")));
}

} // namespace
} // namespace quillmere::platform
