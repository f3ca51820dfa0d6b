// SPDX-License-Identifier: GPL-3.0-or-later
// The time comparison and the additions, and the proof that the indexed comparison makes exactly the copies,
// in exactly the order, of the plain pairwise loops.
#include "PassDoubles.h"

#include "engine/modCompare.h"
#include "fs/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace quillmere::test {
namespace {

constexpr std::int64_t kFat = 2'000'000'000;

// Paths written with "/" in the platform's own form.
FileList Native(FileList paths) {
    for (std::string& path : paths) {
        std::replace(path.begin(), path.end(), '/', platform::kSeparator);
    }
    return paths;
}
constexpr std::int64_t kExFat = 10'000'000;

struct TimeCase {
    std::optional<std::int64_t> time1;
    std::optional<std::int64_t> time2;
    std::int64_t tolerance;
    TimeOrder expected;
};

TEST(CompareFileTimes, FollowsTheTable) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const TimeCase cases[] = {
        {100, 100, 1, TimeOrder::Same},
        {101, 100, 1, TimeOrder::Later},
        {100, 101, 1, TimeOrder::Earlier},
        {100, 100, 0, TimeOrder::Same}, // no tolerance still means equal times are equal
        {std::nullopt, std::nullopt, 1, TimeOrder::Same},
        {std::nullopt, kMin, 1, TimeOrder::Earlier},
        {kMin, std::nullopt, kFat, TimeOrder::Later},
        // FAT: a time cut down to its 2-second step by a copy is the same time.
        {kBaseTime + 1'700'000'000, kBaseTime, kFat, TimeOrder::Same},
        {kBaseTime, kBaseTime + 1'999'999'999, kFat, TimeOrder::Same},
        {kBaseTime, kBaseTime + kFat, kFat, TimeOrder::Earlier},
        {kBaseTime + kFat, kBaseTime, kFat, TimeOrder::Later},
        // exFAT keeps 10 ms.
        {kBaseTime + 9'999'999, kBaseTime, kExFat, TimeOrder::Same},
        {kBaseTime + kExFat, kBaseTime, kExFat, TimeOrder::Later},
        // Extreme times do not overflow the difference.
        {kMax, kMin, kFat, TimeOrder::Later},
        {kMin, kMax, kFat, TimeOrder::Earlier},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(CompareFileTimes(c.time1, c.time2, c.tolerance), c.expected)
            << c.time1.value_or(-1) << " vs " << c.time2.value_or(-1) << " within " << c.tolerance;
    }
}

class NoErrors : public ErrorSink {
public:
    void Report(const TrappedError& error) override { ADD_FAILURE() << error.description; }
};

TEST(LookForAdditions, KeepsSourceOrderAndDuplicatesAndCountsLetterCase) {
    NoErrors errors;
    const FileList source = Native({"/a/x/a.txt", "/a/Report.txt", "/a/y/b.txt", "/a/b.txt", "/a/c.txt"});
    const FileList other = Native({"/b/deep/c.txt", "/b/report.txt"});
    const FileList none;
    const NameIndex sourceNames(source);
    const NameIndex otherNames(other);
    const NameIndex noNames(none);
    EXPECT_EQ(LookForAdditions(sourceNames, otherNames, errors),
              Native({"/a/x/a.txt", "/a/Report.txt", "/a/y/b.txt", "/a/b.txt"}));
    EXPECT_EQ(LookForAdditions(sourceNames, noNames, errors), source);
    EXPECT_TRUE(LookForAdditions(noNames, otherNames, errors).empty());
}

// Thousands of names, most repeated in several folders, so that the table's probes run into each other.
TEST(NameIndex, ChainsEveryPathOfANameInAscendingOrder) {
    FileList paths;
    std::map<std::string, std::vector<std::size_t>> expected;
    for (std::size_t i = 0; i < 5000; ++i) {
        const std::string name = "n" + std::to_string(i * 7919 % 1999) + (i % 3 == 0 ? ".TXT" : ".txt");
        paths.push_back(Native({"/f" + std::to_string(i % 17) + "/" + name})[0]);
        expected[name].push_back(i);
    }
    paths.push_back(Native({"/top/"})[0]); // a folder path: its name is empty
    expected[""].push_back(paths.size() - 1);
    const NameIndex index(paths);
    for (const auto& [name, indexes] : expected) {
        std::vector<std::size_t> chain;
        for (std::size_t at = index.First(name); at != NameIndex::npos; at = index.Next(at)) {
            EXPECT_EQ(index.NameOf(at), name);
            chain.push_back(at);
        }
        EXPECT_EQ(chain, indexes) << name;
    }
    EXPECT_FALSE(index.Contains("n1.Txt"));
    EXPECT_FALSE(index.Contains("f1"));
    EXPECT_EQ(index.First("absent"), NameIndex::npos);
    const FileList none;
    EXPECT_FALSE(NameIndex(none).Contains(""));
}

// Files held in memory: a copy gives the destination the source's time, as the real copy does.
class FakeFiles : public FileOperations {
public:
    std::optional<platform::FileFacts> Read(const std::string& path) override {
        const std::optional<std::int64_t> time = LastWriteTime(path);
        return time ? std::optional(platform::FileFacts{{}, 0, *time, 0}) : std::nullopt;
    }
    platform::CopyOutcome Copy(const platform::CopyRequest& request) override {
        return CopyFile(request.source, request.destination)
                   ? platform::CopyOutcome::Copied(*Read(request.destination))
                   : platform::CopyOutcome::Refused(platform::Refusal::NotAFile);
    }
    void RemoveLeftover(const std::string& /*path*/) override {}

    std::optional<std::int64_t> LastWriteTime(const std::string& path) const {
        const auto found = times.find(path);
        return found == times.end() ? std::nullopt : std::optional(found->second);
    }
    bool CopyFile(const std::string& source, const std::string& destination) {
        const auto found = times.find(source);
        if (found == times.end()) {
            return false;
        }
        times[destination] = found->second;
        copies.emplace_back(source, destination);
        return true;
    }

    std::map<std::string, std::int64_t> times;
    std::vector<CopyRecord> copies;
};

// A direction that changes at every reading, the same sequence for the same seed.
class ShiftingSettings : public SyncSettings {
public:
    explicit ShiftingSettings(unsigned seed) : random_(seed) {}
    std::vector<std::string> Folder1Entries() const override { return {}; }
    std::vector<std::string> Folder2Entries() const override { return {}; }
    SyncDirection Direction() const override {
        constexpr SyncDirection kChoices[] = {SyncDirection::None, SyncDirection::BothWays,
                                              SyncDirection::Folder1ToFolder2, SyncDirection::Folder2ToFolder1};
        return kChoices[random_() % 4];
    }

private:
    mutable std::mt19937 random_;
};

// The pairwise loops, written plainly: every path of list1 against every path of list2, and both times read
// again before the second test of the both-ways case.
void ReferenceModified(const FileList& list1, const FileList& list2, const SyncSettings& settings, FakeFiles& files,
                       std::int64_t tolerance) {
    const auto order = [&](const std::string& path1, const std::string& path2) {
        return CompareFileTimes(files.LastWriteTime(path1), files.LastWriteTime(path2), tolerance);
    };
    for (const std::string& path1 : list1) {
        for (const std::string& path2 : list2) {
            if (GetFileName(path1) != GetFileName(path2)) {
                continue;
            }
            switch (settings.Direction()) {
            case SyncDirection::BothWays:
                if (order(path1, path2) == TimeOrder::Later) {
                    files.CopyFile(path1, path2);
                } else if (order(path1, path2) == TimeOrder::Earlier) {
                    files.CopyFile(path2, path1);
                }
                break;
            case SyncDirection::Folder1ToFolder2:
                if (order(path1, path2) == TimeOrder::Later) {
                    files.CopyFile(path1, path2);
                }
                break;
            case SyncDirection::Folder2ToFolder1:
                if (order(path1, path2) == TimeOrder::Earlier) {
                    files.CopyFile(path2, path1);
                }
                break;
            case SyncDirection::None:
                break;
            }
        }
    }
}

FileList ReferenceAdditions(const FileList& source, const FileList& other) {
    FileList result;
    for (const std::string& path : source) {
        bool found = false;
        for (const std::string& candidate : other) {
            found = found || GetFileName(path) == GetFileName(candidate);
        }
        if (!found) {
            result.push_back(path);
        }
    }
    return result;
}

// A side full of repeated names in a few folders; some paths have no file behind them (removed since listing),
// and the times sit close together so that the tolerance matters.
FileList GenerateSide(std::mt19937& random, const std::string& top, FakeFiles& files) {
    static const char* const kNames[] = {"a.txt", "b.txt", "A.txt", "c", "~d"};
    static const char* const kFolders[] = {"/", "/x/", "/x/y/", "/z/"};
    FileList list(random() % 24);
    for (std::string& path : list) {
        path = Native({"/" + top + kFolders[random() % 4] + kNames[random() % 5]})[0];
        if (random() % 6 != 0) {
            files.times[path] = kBaseTime + static_cast<std::int64_t>(random() % 8) * 700'000'000;
        }
    }
    return list;
}

class Equivalence : public ::testing::TestWithParam<int> {};

TEST_P(Equivalence, IndexedComparisonCopiesExactlyAsThePairwiseLoops) {
    RecordingObserver observer;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        std::mt19937 random(seed);
        FakeFiles indexed;
        const FileList list1 = GenerateSide(random, "one", indexed);
        // Now and then both sides are the same folder.
        const FileList list2 = random() % 5 == 0 ? list1 : GenerateSide(random, "two", indexed);
        const std::int64_t tolerance = random() % 2 == 0 ? 1 : kFat;
        FakeFiles reference = indexed;

        const int mode = GetParam();
        const FixedSettings fixed("", "", mode < 3 ? kAllDirections[mode] : SyncDirection::None);
        const ShiftingSettings shifting1(seed);
        const ShiftingSettings shifting2(seed);
        const SyncSettings& settings1 = mode < 3 ? static_cast<const SyncSettings&>(fixed) : shifting1;
        const SyncSettings& settings2 = mode < 3 ? static_cast<const SyncSettings&>(fixed) : shifting2;

        PassContext pass(settings1, observer, indexed);
        pass.SetTimeTolerance(tolerance);
        const NameIndex names1(list1);
        const NameIndex names2(list2);
        LookForModified2(names1, names2, pass);
        ReferenceModified(list1, list2, settings2, reference, tolerance);

        ASSERT_EQ(indexed.copies, reference.copies) << "seed " << seed;
        ASSERT_EQ(indexed.times, reference.times) << "seed " << seed;
        // Both read the direction equally often, so a shifting direction stays in step.
        ASSERT_EQ(settings1.Direction(), settings2.Direction()) << "seed " << seed;
        ASSERT_EQ(LookForAdditions(names1, names2, observer), ReferenceAdditions(list1, list2)) << "seed " << seed;
    }
    EXPECT_TRUE(observer.errors.empty());
}

// 0 to 2: the three directions; 3: a direction that changes at every pair.
INSTANTIATE_TEST_SUITE_P(EveryDirection, Equivalence, ::testing::Values(0, 1, 2, 3));

TEST(LookForModified2, UnreadableDirectionIsReportedAndCopiesNothing) {
    class BrokenDirection : public FixedSettings {
    public:
        BrokenDirection() : FixedSettings("", "", SyncDirection::BothWays) {}
        SyncDirection Direction() const override { throw std::runtime_error("Direction unavailable"); }
    };
    FakeFiles files;
    const FileList list1 = Native({"/one/a"});
    const FileList list2 = Native({"/two/a"});
    files.times = {{list1[0], kBaseTime + kSecond}, {list2[0], kBaseTime}};
    const BrokenDirection settings;
    RecordingObserver observer;
    PassContext pass(settings, observer, files);
    LookForModified2(NameIndex(list1), NameIndex(list2), pass);

    EXPECT_TRUE(files.copies.empty());
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0],
              (TrappedError{"in Quillmere2021/08/31.modCompare.LookForModified2 ", 114, "Direction unavailable"}));
}

} // namespace
} // namespace quillmere::test
