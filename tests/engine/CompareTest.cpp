// SPDX-License-Identifier: GPL-3.0-or-later
// The time comparison and the additions, and the proof that the indexed comparison over the facts the listing
// read makes exactly the copies, in exactly the order, of the plain rule per name group that reads every file.
#include "PassDoubles.h"

#include "engine/modCompare.h"
#include "fs/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace quillmere::test {
namespace {

constexpr std::int64_t kFat = 2'000'000'000;

// Full file paths, in listing order.
using FileList = std::vector<std::string>;

// Paths written with "/" in the platform's own form.
FileList Native(FileList paths) {
    for (std::string& path : paths) {
        std::replace(path.begin(), path.end(), '/', platform::kSeparator);
    }
    return paths;
}
constexpr std::int64_t kExFat = 10'000'000;

struct TimeCase {
    std::optional<std::int64_t> time1; // nanoseconds since 1970
    std::optional<std::int64_t> time2;
    std::int64_t tolerance;
    TimeOrder expected;
};

std::optional<platform::FileTime> TimeOf(std::optional<std::int64_t> nanoseconds) {
    return nanoseconds ? std::optional(platform::FileTime::FromNanoseconds(*nanoseconds)) : std::nullopt;
}

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
        EXPECT_EQ(CompareFileTimes(TimeOf(c.time1), TimeOf(c.time2), c.tolerance), c.expected)
            << c.time1.value_or(-1) << " vs " << c.time2.value_or(-1) << " within " << c.tolerance;
    }
}

TEST(CompareFileTimes, KeepsOrderPastTheYear2262) {
    using platform::FileTime;
    constexpr auto kMostSeconds = std::numeric_limits<std::int64_t>::max();
    constexpr auto kLeastSeconds = std::numeric_limits<std::int64_t>::min();
    const FileTime year2300{10'413'792'000, 0};
    const FileTime year2400{13'569'465'600, 0};
    EXPECT_EQ(CompareFileTimes(year2300, year2400, kFat), TimeOrder::Earlier);
    EXPECT_EQ(CompareFileTimes(year2400, year2300, 1), TimeOrder::Later);
    EXPECT_EQ(CompareFileTimes(FileTime{kMostSeconds, 999'999'999}, FileTime{kLeastSeconds, 0}, kFat),
              TimeOrder::Later);
    // Within the step across a second's boundary, far beyond 2262.
    EXPECT_EQ(CompareFileTimes(FileTime{kMostSeconds, 100}, FileTime{kMostSeconds - 1, 999'999'950}, 200),
              TimeOrder::Same);
}

class NoErrors : public ErrorSink {
public:
    void Report(const TrappedError& error) override { ADD_FAILURE() << error.description; }
};

// Files held in memory by path: a copy gives the destination the source's time, as the real copy does. Copies are
// made only when the pass settles them, as on the disk, so a comparison or copy that reads a file before the copy
// onto it settles sees the old file; and a destination marked read-only refuses every copy.
class FakeFiles : public FileOperations {
public:
    bool StartCopy(const platform::CopyRequest& request) override {
        started.push_back(request);
        return false;
    }
    void SettleCopies(const platform::CopyBatch::Told& tell) override {
        ++settlings;
        for (const platform::CopyRequest& request : std::exchange(started, {})) {
            tell(request, CopyFile(request.source, request.destination)
                              ? platform::CopyOutcome::Copied(*FactsOf(request.destination))
                              : platform::CopyOutcome::Refused(platform::Refusal::ReadOnly));
        }
    }
    void RemoveLeftover(const std::string& /*path*/) override {}
    // Times are kept to the nanosecond: the tolerance is the test's own, and no real volume is asked about paths
    // that exist only here (under Wine each such question reads every mount point of the machine).
    std::int64_t TimeStep(const std::string& /*folder*/) override { return 1; }

    std::optional<platform::FileTime> LastWriteTime(const std::string& path) const {
        const auto found = times.find(path);
        return found == times.end() ? std::nullopt : TimeOf(found->second);
    }
    std::optional<platform::FileFacts> FactsOf(const std::string& path) const {
        const std::optional<platform::FileTime> time = LastWriteTime(path);
        return time ? std::optional(platform::FileFacts{{}, 0, *time, 0}) : std::nullopt;
    }
    bool CopyFile(const std::string& source, const std::string& destination) {
        const auto found = times.find(source);
        if (found == times.end() || readOnly.contains(destination)) {
            return false;
        }
        times[destination] = found->second;
        copies.emplace_back(source, destination);
        return true;
    }

    std::unordered_map<std::string, std::int64_t> times;
    std::unordered_set<std::string> readOnly;
    std::vector<CopyRecord> copies;
    std::vector<platform::CopyRequest> started; // not yet settled
    int settlings = 0;
};

// A side as its walk would list it: its top folder first, then each folder with its files, each file with the
// facts files holds of it (none: gone before it was looked at).
std::unique_ptr<Side> Listed(const std::string& top, const FileList& paths, const FakeFiles& files = {}) {
    auto side = std::make_unique<Side>(top);
    side->files.AddFolder(top);
    for (const std::string& path : paths) {
        const std::string folder = GetFolderPart(path);
        if (folder != side->files.FolderPath(side->files.FolderCount() - 1)) {
            side->files.AddFolder(folder);
        }
        side->files.AddFile(GetFileName(path), files.FactsOf(path));
    }
    side->names.emplace(side->files);
    return side;
}

FileList PathsOf(const FileIndexes& indexes, const Side& side) {
    FileList paths;
    for (const std::uint32_t index : indexes) {
        paths.push_back(side.files.PathOf(index));
    }
    return paths;
}

TEST(LookForAdditions, KeepsSourceOrderAndDuplicatesAndCountsLetterCase) {
    const FileList source = Native({"/a/Report.txt", "/a/b.txt", "/a/c.txt", "/a/x/a.txt", "/a/y/b.txt"});
    const FileList other = Native({"/b/report.txt", "/b/deep/c.txt"});
    const auto sourceSide = Listed(Native({"/a/"})[0], source);
    const auto otherSide = Listed(Native({"/b/"})[0], other);
    const auto noSide = Listed(Native({"/c/"})[0], {});
    EXPECT_EQ(PathsOf(LookForAdditions(*sourceSide->names, *otherSide->names), *sourceSide),
              Native({"/a/Report.txt", "/a/b.txt", "/a/x/a.txt", "/a/y/b.txt"}));
    EXPECT_EQ(PathsOf(LookForAdditions(*sourceSide->names, *noSide->names), *sourceSide), source);
    EXPECT_TRUE(LookForAdditions(*noSide->names, *otherSide->names).empty());
}

// Thousands of names, most repeated in several folders, so that the table's probes run into each other.
TEST(NameIndex, ChainsEveryFileOfANameInAscendingOrder) {
    ListedFiles files;
    std::map<std::string, std::vector<std::size_t>> expected;
    for (std::size_t folder = 0; folder < 17; ++folder) {
        files.AddFolder(Native({"/f" + std::to_string(folder) + "/"})[0]);
        for (std::size_t i = folder; i < 5000; i += 17) {
            const std::string name = "n" + std::to_string(i * 7919 % 1999) + (i % 3 == 0 ? ".TXT" : ".txt");
            expected[name].push_back(files.Size());
            files.AddFile(name, std::nullopt);
        }
    }
    expected[""].push_back(files.Size());
    files.AddFile("", std::nullopt);
    const NameIndex index(files);
    for (const auto& [name, indexes] : expected) {
        std::vector<std::size_t> chain;
        for (std::size_t at = index.First(name); at != NameIndex::npos; at = index.Next(at)) {
            EXPECT_EQ(files.NameOf(at), name);
            chain.push_back(at);
        }
        EXPECT_EQ(chain, indexes) << name;
    }
    EXPECT_FALSE(index.Contains("n1.Txt"));
    EXPECT_FALSE(index.Contains("f1"));
    EXPECT_EQ(index.First("absent"), NameIndex::npos);
    const ListedFiles none;
    EXPECT_FALSE(NameIndex(none).Contains(""));
}

// A direction that changes at every reading, the same sequence for the same seed.
class ShiftingSettings : public SyncSettings {
public:
    explicit ShiftingSettings(unsigned seed) : random_(seed) {}
    SyncDirection Direction() const override {
        constexpr SyncDirection kChoices[] = {SyncDirection::None, SyncDirection::BothWays,
                                              SyncDirection::Folder1ToFolder2, SyncDirection::Folder2ToFolder1};
        return kChoices[random_() % 4];
    }

private:
    mutable std::mt19937 random_;
};

using Refused = RecordingObserver::NotCopiedRecord;

// The rule, written plainly: each name both lists hold, in the order list1 first shows it, with the direction read
// once for it. The files of the sides the direction copies from give; the newest of them (the first on a tie) is
// copied onto every file of the taking sides that it is later than, each file once. A giver dated after
// futureLimit replaces nothing: each file it would have replaced is refused, and the newest of the others gives.
std::vector<Refused> ReferenceModified(const FileList& list1, const FileList& list2, const SyncSettings& settings,
                                       FakeFiles& files, std::int64_t tolerance, std::int64_t futureLimit) {
    std::vector<Refused> refused;
    std::set<std::string> done;
    for (const std::string& first : list1) {
        const std::string name = GetFileName(first);
        if (!done.insert(name).second) {
            continue;
        }
        FileList group1;
        FileList group2;
        std::copy_if(list1.begin(), list1.end(), std::back_inserter(group1),
                     [&](const std::string& path) { return GetFileName(path) == name; });
        std::copy_if(list2.begin(), list2.end(), std::back_inserter(group2),
                     [&](const std::string& path) { return GetFileName(path) == name; });
        if (group2.empty()) {
            continue;
        }
        const SyncDirection direction = settings.Direction();
        const bool from1 = direction == SyncDirection::BothWays || direction == SyncDirection::Folder1ToFolder2;
        const bool from2 = direction == SyncDirection::BothWays || direction == SyncDirection::Folder2ToFolder1;
        FileList givers;
        FileList takers;
        for (const auto& [group, gives, takes] :
             {std::tuple{&group1, from1, from2}, std::tuple{&group2, from2, from1}}) {
            for (const std::string& path : *group) {
                if (gives) {
                    givers.push_back(path);
                }
                if (takes && std::find(takers.begin(), takers.end(), path) == takers.end()) {
                    takers.push_back(path);
                }
            }
        }
        const auto newest = [&](bool futureToo) {
            std::optional<std::string> found;
            for (const std::string& path : givers) {
                const auto time = files.times.find(path);
                if (time != files.times.end() && (futureToo || time->second <= futureLimit) &&
                    (!found || time->second > files.times.at(*found))) {
                    found = path;
                }
            }
            return found;
        };
        const auto later = [&](const std::string& newer, const std::string& older) {
            return newer != older && CompareFileTimes(files.LastWriteTime(newer), files.LastWriteTime(older),
                                                      tolerance) == TimeOrder::Later;
        };
        std::optional<std::string> source = newest(true);
        if (source && files.times.at(*source) > futureLimit) {
            for (const std::string& taker : takers) {
                if (later(*source, taker)) {
                    refused.push_back({*source, taker, "dated in the future"});
                }
            }
            source = newest(false);
        }
        for (const std::string& taker : source ? takers : FileList{}) {
            if (later(*source, taker)) {
                files.CopyFile(*source, taker);
            }
        }
    }
    return refused;
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

// Two listed trees and the files behind them. Side 2 is now and then the same folder as side 1, or a folder
// inside it, so that both sides list some files under one path.
struct Trees {
    std::string top1;
    FileList list1;
    std::string top2;
    FileList list2;
    FakeFiles files;
};

std::int64_t RandomTime(std::mt19937& random) {
    return kBaseTime + static_cast<std::int64_t>(random() % 8) * 700'000'000;
}

// Repeated names in a few folders, each name at most once a folder, as a walk lists them; some files are gone
// before they are looked at, some refuse every copy onto them (so that later pairs meet a copy not made), and the
// times sit close together so that the tolerance matters.
FileList RandomSide(std::mt19937& random, const std::string& top, FakeFiles& files) {
    static const char* const kNames[] = {"a.txt", "b.txt", "A.txt", "c"};
    static const char* const kFolders[] = {"", "x/", "x/y/", "z/"};
    FileList list;
    for (const char* folder : kFolders) {
        for (const char* name : kNames) {
            if (random() % 3 != 0) {
                continue;
            }
            list.push_back(Native({top + folder + name})[0]);
            if (random() % 6 != 0) {
                files.times[list.back()] = RandomTime(random);
            }
            if (random() % 7 == 0) {
                files.readOnly.insert(list.back());
            }
        }
    }
    return list;
}

Trees RandomTrees(unsigned seed) {
    std::mt19937 random(seed);
    Trees trees{Native({"/one/"})[0], {}, Native({"/two/"})[0], {}, {}};
    trees.list1 = RandomSide(random, "/one/", trees.files);
    switch (random() % 5) {
    case 0: // one folder on both sides
        trees.top2 = trees.top1;
        trees.list2 = trees.list1;
        break;
    case 1: // side 2 is a folder inside side 1
        trees.top2 = Native({"/one/x/"})[0];
        std::copy_if(trees.list1.begin(), trees.list1.end(), std::back_inserter(trees.list2),
                     [&](const std::string& path) { return path.starts_with(trees.top2); });
        break;
    default:
        trees.list2 = RandomSide(random, "/two/", trees.files);
    }
    return trees;
}

// 2,000 files of one name on each side, one a folder, among a few of other names, at a few times.
Trees LargeGroups(unsigned seed) {
    std::mt19937 random(seed);
    Trees trees{Native({"/one/"})[0], {}, Native({"/two/"})[0], {}, {}};
    for (auto [top, list] : {std::pair{"/one/", &trees.list1}, std::pair{"/two/", &trees.list2}}) {
        for (int folder = 0; folder < 2000; ++folder) {
            const std::string prefix = std::string(top) + "f" + std::to_string(folder) + "/";
            for (const char* name : {"README.md", folder % 100 == 0 ? "rare.txt" : nullptr}) {
                if (name != nullptr) {
                    list->push_back(Native({prefix + name})[0]);
                    trees.files.times[list->back()] = RandomTime(random);
                }
            }
        }
    }
    return trees;
}

// The indexed pass over the listings' facts against the plain rule reading the files: the same copies in the same
// order, the same refusals, the same files in the end, and the direction read as often. Now and then the clock
// makes the later of the random times dated in the future.
void ExpectSameAsThePlainRule(Trees trees, int mode, unsigned seed) {
    RecordingObserver observer;
    const std::int64_t tolerance = seed % 2 == 0 ? 1 : kFat;
    constexpr std::int64_t kDay = 24 * 3600 * kSecond;
    const std::int64_t futureLimit =
        seed % 3 == 0 ? kBaseTime + 2'800'000'000 : std::numeric_limits<std::int64_t>::max() - kDay;
    FakeFiles& indexed = trees.files;
    FakeFiles reference = indexed;
    const FixedSettings fixed("", "", mode < 3 ? kAllDirections[mode] : SyncDirection::None);
    const ShiftingSettings shifting1(seed);
    const ShiftingSettings shifting2(seed);
    const SyncSettings& settings1 = mode < 3 ? static_cast<const SyncSettings&>(fixed) : shifting1;
    const SyncSettings& settings2 = mode < 3 ? static_cast<const SyncSettings&>(fixed) : shifting2;

    const auto side1 = Listed(trees.top1, trees.list1, indexed);
    const auto side2 = Listed(trees.top2, trees.list2, indexed);
    PassContext pass(settings1, observer, indexed);
    pass.SetTimeTolerance(tolerance);
    pass.SetClock(platform::FileTime::FromNanoseconds(futureLimit - kDay));
    LookForModified2(*side1, *side2, pass);
    const std::vector<Refused> refused =
        ReferenceModified(trees.list1, trees.list2, settings2, reference, tolerance, futureLimit);

    ASSERT_EQ(indexed.copies, reference.copies) << "seed " << seed;
    ASSERT_EQ(indexed.times, reference.times) << "seed " << seed;
    std::vector<Refused> toldFuture;
    std::copy_if(observer.notCopied.begin(), observer.notCopied.end(), std::back_inserter(toldFuture),
                 [](const Refused& refusal) { return refusal.cause == "dated in the future"; });
    ASSERT_EQ(toldFuture, refused) << "seed " << seed;
    // Both read the direction equally often, so a shifting direction stays in step.
    ASSERT_EQ(settings1.Direction(), settings2.Direction()) << "seed " << seed;
    ASSERT_EQ(PathsOf(LookForAdditions(*side1->names, *side2->names), *side1),
              ReferenceAdditions(trees.list1, trees.list2))
        << "seed " << seed;
    EXPECT_TRUE(observer.errors.empty());
}

class Equivalence : public ::testing::TestWithParam<int> {};

TEST_P(Equivalence, IndexedPassCopiesExactlyAsThePlainRule) {
    for (unsigned seed = 1; seed <= 600; ++seed) {
        ExpectSameAsThePlainRule(RandomTrees(seed), GetParam(), seed);
    }
}

TEST_P(Equivalence, LargeSameNamedGroupsCopyExactlyAsThePlainRule) {
    ExpectSameAsThePlainRule(LargeGroups(7), GetParam(), 7);
}

// 0 to 2: the three directions; 3: a direction that changes at every name.
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
    LookForModified2(*Listed(Native({"/one/"})[0], list1, files), *Listed(Native({"/two/"})[0], list2, files), pass);

    EXPECT_TRUE(files.copies.empty());
    ASSERT_EQ(observer.errors.size(), 1u);
    EXPECT_EQ(observer.errors[0],
              (TrappedError{"in Quillmere2021/08/31.modCompare.LookForModified2 ", 114, "Direction unavailable"}));
}

} // namespace
} // namespace quillmere::test
