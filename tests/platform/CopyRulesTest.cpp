// SPDX-License-Identifier: GPL-3.0-or-later
// The copy's acceptance rules, which both platforms and the dry run apply to the facts they gather.
#include "platform/CopyRules.h"

#include <gtest/gtest.h>

#include <functional>

namespace quillmere::platform {
namespace {

const FileFacts kCompared{FileIdentity{1, 7}, 100, FileTime{1'700'000'000, 5}, FileTime{1'700'000'000, 9}};

FileFacts With(std::uint64_t inode, std::uint64_t size, std::uint32_t nanoseconds, std::uint32_t change = 9) {
    return FileFacts{FileIdentity{1, inode}, size, FileTime{1'700'000'000, nanoseconds},
                     FileTime{1'700'000'000, change}};
}

constexpr StableFacts kInodesKept{true};
constexpr StableFacts kInodesMadeUp{false};

TEST(CopyRules, TheDestination) {
    const SeenEntry file{EntryKind::File, kCompared, false};
    const struct Case {
        const char* what;
        SeenEntry seen;
        bool isTheSource;
        std::optional<FileFacts> compared;
        StableFacts stable;
        std::optional<Refusal> expected;
    } cases[] = {
        {"a free name for an addition", {}, false, std::nullopt, kInodesKept, std::nullopt},
        {"the file compared, gone", {}, false, kCompared, kInodesKept, Refusal::DestinationChanged},
        {"a folder", {EntryKind::NotAFile, {}, false}, false, std::nullopt, kInodesKept, Refusal::NotAFile},
        {"the source itself", file, true, kCompared, kInodesKept, Refusal::SameFile},
        {"read-only", {EntryKind::File, kCompared, true}, false, kCompared, kInodesKept, Refusal::ReadOnly},
        {"appeared where none was", file, false, std::nullopt, kInodesKept, Refusal::DestinationExists},
        {"the file compared", file, false, kCompared, kInodesKept, std::nullopt},
        {"only its change time moved",
         {EntryKind::File, With(7, 100, 5, 1), false},
         false,
         kCompared,
         kInodesKept,
         std::nullopt},
        {"written since",
         {EntryKind::File, With(7, 101, 5), false},
         false,
         kCompared,
         kInodesKept,
         Refusal::DestinationChanged},
        {"touched since",
         {EntryKind::File, With(7, 100, 6), false},
         false,
         kCompared,
         kInodesKept,
         Refusal::DestinationChanged},
        {"saved anew",
         {EntryKind::File, With(8, 100, 5), false},
         false,
         kCompared,
         kInodesKept,
         Refusal::DestinationChanged},
        {"another inode where inodes are made up",
         {EntryKind::File, With(8, 100, 5), false},
         false,
         kCompared,
         kInodesMadeUp,
         std::nullopt},
        {"written since where inodes are made up",
         {EntryKind::File, With(8, 101, 5), false},
         false,
         kCompared,
         kInodesMadeUp,
         Refusal::DestinationChanged},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JudgeDestination(c.seen, c.isTheSource, c.compared, c.stable), c.expected) << c.what;
    }
}

TEST(CopyRules, TheSourceAndThePlaceJustBeforeTheSwap) {
    const struct Case {
        const char* what;
        std::function<std::optional<Refusal>()> judge;
        std::optional<Refusal> expected;
    } cases[] = {
        {"source opened is the file compared", [] { return JudgeSource(EntryKind::File, kCompared, kCompared); },
         std::nullopt},
        {"source of an addition, compared with nothing",
         [] { return JudgeSource(EntryKind::File, With(8, 3, 1), std::nullopt); }, std::nullopt},
        {"source is no file", [] { return JudgeSource(EntryKind::NotAFile, kCompared, kCompared); }, Refusal::NotAFile},
        {"source restored with another change time",
         [] { return JudgeSource(EntryKind::File, With(7, 100, 5, 1), kCompared); }, Refusal::SourceChanged},
        {"source unchanged at the end", [] { return JudgeSourceAgain(kCompared, kCompared); }, std::nullopt},
        {"source gone at the end", [] { return JudgeSourceAgain(std::nullopt, kCompared); }, Refusal::SourceChanged},
        {"source rewritten in place, its time put back", [] { return JudgeSourceAgain(With(7, 100, 5, 2), kCompared); },
         Refusal::SourceChanged},
        {"place still free", [] { return JudgePlace(std::nullopt, std::nullopt, kInodesKept); }, std::nullopt},
        {"place taken meanwhile", [] { return JudgePlace(kCompared, std::nullopt, kInodesKept); },
         Refusal::DestinationExists},
        {"place emptied meanwhile", [] { return JudgePlace(std::nullopt, kCompared, kInodesKept); },
         Refusal::DestinationChanged},
        {"place holds the file, linked into the trash since",
         [] { return JudgePlace(With(7, 100, 5, 3), kCompared, kInodesKept); }, std::nullopt},
        {"place holds a save", [] { return JudgePlace(With(8, 100, 5), kCompared, kInodesKept); },
         Refusal::DestinationChanged},
        {"place under a new number where numbers are made up",
         [] { return JudgePlace(With(9, 100, 5), kCompared, kInodesMadeUp); }, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.judge(), c.expected) << c.what;
    }
}

} // namespace
} // namespace quillmere::platform
