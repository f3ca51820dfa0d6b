// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modCompare.h"

#include "engine/PairTimes.h"
#include "engine/PathsOnBothSides.h"
#include "engine/Ways.h"

#include <algorithm>
#include <array>

namespace quillmere {

namespace {

// The comparison's trapped steps (modCompare.LookForModified2): reading the direction for a name, and a copy
// onto a side, both ways or one way.
enum class CompareStep { ReadDirection, CopyBothWays1To2, CopyBothWays2To1, Copy1To2, Copy2To1 };
constexpr std::string_view kModifiedProcedure = "modCompare.LookForModified2";
constexpr StepEntry<CompareStep> kCompareSteps[] = {
    {CompareStep::ReadDirection, {kModifiedProcedure, 114}},
    {CompareStep::CopyBothWays1To2, {kModifiedProcedure, 118}},
    {CompareStep::CopyBothWays2To1, {kModifiedProcedure, 122}},
    {CompareStep::Copy1To2, {kModifiedProcedure, 128}},
    {CompareStep::Copy2To1, {kModifiedProcedure, 134}},
};
static_assert(IsStepTable(kCompareSteps));

constexpr const TrapStep& StepOf(CompareStep id) {
    return StepIn(kCompareSteps, id);
}

// Which sides give the newest version of a name and which take it, and the step of a copy onto each side: what a
// direction makes of a name group.
struct Flow {
    bool from1 = false;
    bool from2 = false;
    CompareStep copyTo1 = CompareStep::ReadDirection;
    CompareStep copyTo2 = CompareStep::ReadDirection;
};

constexpr std::array<ByDirectionAndWay<CompareStep>, 4> kCopySteps{{
    {SyncDirection::BothWays, Way::Folder1ToFolder2, CompareStep::CopyBothWays1To2},
    {SyncDirection::BothWays, Way::Folder2ToFolder1, CompareStep::CopyBothWays2To1},
    {SyncDirection::Folder1ToFolder2, Way::Folder1ToFolder2, CompareStep::Copy1To2},
    {SyncDirection::Folder2ToFolder1, Way::Folder2ToFolder1, CompareStep::Copy2To1},
}};

Flow FlowOf(SyncDirection direction) {
    return Flow{Allows(direction, Way::Folder1ToFolder2), Allows(direction, Way::Folder2ToFolder1),
                Lookup(kCopySteps, direction, Way::Folder2ToFolder1),
                Lookup(kCopySteps, direction, Way::Folder1ToFolder2)};
}

// One file of a name group: its side and its index in that side's listing.
struct Member {
    bool onSide1;
    std::size_t index;
};

// The files of one name on both sides, brought to the newest version the direction allows. Exact times are
// compared (seconds and nanoseconds), not the local date-time values of GetFileLastModified, whose days in a
// double keep only about a microsecond.
class NameGroups {
public:
    NameGroups(const Side& side1, const Side& side2, PassContext& pass)
        : side1_(side1), side2_(side2), pass_(pass), both_(side1.files, side2.files) {}

    void Run();

private:
    void RunLimited(const NameSet& only);
    void Compare(std::size_t first1, std::size_t first2);
    void Gather(std::size_t first1, std::size_t first2);
    void Bring(const Flow& flow);
    std::optional<Member> Newest(const Flow& flow, bool futureToo) const;
    const std::vector<Member>& Takers(const Flow& flow);

    const ListedFiles& FilesOf(Member file) const { return file.onSide1 ? side1_.files : side2_.files; }
    std::string PathOf(Member file) const { return FilesOf(file).PathOf(file.index); }
    std::optional<platform::FileTime> TimeOf(Member file) const { return FilesOf(file).LastWriteTimeOf(file.index); }
    bool IsFuture(Member file) const {
        const std::optional<platform::FileTime> time = TimeOf(file);
        return time && *time > pass_.FutureLimit();
    }
    bool Replaces(Member newer, Member older) const;
    bool IsSameFile(Member one, Member other) const;

    const Side& side1_;
    const Side& side2_;
    PassContext& pass_;
    const PathsOnBothSides both_;
    // The group at hand, kept from group to group so that a pass of many names allocates them once.
    std::vector<std::size_t> group1_;
    std::vector<std::size_t> group2_;
    std::vector<Member> takers_;
};

// Each name once, in the order Folder 1's listing first shows it: its first file there gathers the whole group.
void NameGroups::Run() {
    if (const NameSet* only = pass_.NamesLimit()) {
        RunLimited(*only);
        return;
    }
    const ListedFiles& files1 = side1_.files;
    const NameIndex& names2 = side2_.names.value();
    std::vector<bool> gathered(files1.Size(), false);
    for (std::size_t i = 0; i < files1.Size(); ++i) {
        if (gathered[i]) {
            continue;
        }
        const std::size_t first2 = names2.First(files1.NameOf(i));
        if (first2 == NameIndex::npos) {
            continue;
        }
        if (pass_.StopRequested()) {
            return;
        }
        Compare(i, first2);
        for (const std::size_t member : group1_) {
            gathered[member] = true;
        }
    }
}

// The groups of the names given, in the same order: by the index of their first file in Folder 1's listing.
void NameGroups::RunLimited(const NameSet& only) {
    std::vector<std::pair<std::size_t, std::size_t>> firsts;
    for (const std::string& name : only) {
        const std::size_t first1 = side1_.names->First(name);
        const std::size_t first2 = side2_.names->First(name);
        if (first1 != NameIndex::npos && first2 != NameIndex::npos) {
            firsts.emplace_back(first1, first2);
        }
    }
    std::sort(firsts.begin(), firsts.end());
    for (const auto& [first1, first2] : firsts) {
        if (pass_.StopRequested()) {
            return;
        }
        Compare(first1, first2);
    }
}

void NameGroups::Compare(std::size_t first1, std::size_t first2) {
    Gather(first1, first2);
    // A direction that cannot be read copies nothing rather than guess.
    SyncDirection direction = SyncDirection::None;
    RunTrapped(pass_.Observer(), StepOf(CompareStep::ReadDirection), [&] { direction = pass_.Settings().Direction(); });
    pass_.DirectionRead(direction);
    Bring(FlowOf(direction));
    // Counted once the group's copies are started: a stop asked for on hearing it stops the groups after it.
    pass_.PairsCompared(static_cast<std::int64_t>(group1_.size() * group2_.size()));
}

void NameGroups::Gather(std::size_t first1, std::size_t first2) {
    group1_.clear();
    group2_.clear();
    for (std::size_t i = first1; i != NameIndex::npos; i = side1_.names->Next(i)) {
        group1_.push_back(i);
    }
    for (std::size_t j = first2; j != NameIndex::npos; j = side2_.names->Next(j)) {
        group2_.push_back(j);
    }
}

// Every file that takes from the group is replaced by its newest giving file, once, when that is newer. A file
// dated more than a day ahead of the clock replaces nothing: each file it would replace is reported, and the
// newest of the others gives in its place. What is replaced is never a file this pass wrote.
void NameGroups::Bring(const Flow& flow) {
    const std::optional<Member> newest = Newest(flow, true);
    if (!newest) {
        return;
    }
    ErrorSink& errors = pass_.Observer();
    const auto copyStep = [&flow](Member taker) { return StepOf(taker.onSide1 ? flow.copyTo1 : flow.copyTo2); };
    std::optional<Member> source = newest;
    if (IsFuture(*newest)) {
        for (const Member taker : Takers(flow)) {
            if (Replaces(*newest, taker)) {
                RunTrapped(errors, copyStep(taker), [&] {
                    pass_.Refuse(PathOf(*newest), PathOf(taker),
                                 platform::CopyOutcome::Refused(platform::Refusal::DatedInTheFuture));
                });
            }
        }
        source = Newest(flow, false);
        if (!source) {
            return;
        }
    }
    for (const Member taker : Takers(flow)) {
        if (pass_.StopRequested()) {
            return;
        }
        if (Replaces(*source, taker)) {
            RunTrapped(errors, copyStep(taker), [&] {
                pass_.Copy(platform::CopyRequest{.source = PathOf(*source),
                                                 .destination = PathOf(taker),
                                                 .sourceAsCompared = FilesOf(*source).FactsOf(source->index),
                                                 .destinationAsCompared = FilesOf(taker).FactsOf(taker.index),
                                                 .keepReplaced = pass_.KeepsReplaced()});
            });
        }
    }
}

// The latest of the files the direction lets give, the first of them on a tie; no value when none has a time.
std::optional<Member> NameGroups::Newest(const Flow& flow, bool futureToo) const {
    std::optional<Member> newest;
    std::optional<platform::FileTime> newestTime;
    const auto consider = [&](bool onSide1, const std::vector<std::size_t>& group) {
        for (const std::size_t index : group) {
            const Member file{onSide1, index};
            const std::optional<platform::FileTime> time = TimeOf(file);
            if (time && (!newestTime || *time > *newestTime) && (futureToo || !IsFuture(file))) {
                newest = file;
                newestTime = time;
            }
        }
    };
    if (flow.from1) {
        consider(true, group1_);
    }
    if (flow.from2) {
        consider(false, group2_);
    }
    return newest;
}

// Folder 1's files, then Folder 2's, as the direction lets each side take; a file both sides list is taken once.
const std::vector<Member>& NameGroups::Takers(const Flow& flow) {
    takers_.clear();
    const bool takes1 = flow.from2;
    const bool takes2 = flow.from1;
    if (takes1) {
        for (const std::size_t index : group1_) {
            takers_.push_back(Member{true, index});
        }
    }
    if (takes2) {
        for (const std::size_t index : group2_) {
            if (!(takes1 && both_.In1(index))) {
                takers_.push_back(Member{false, index});
            }
        }
    }
    return takers_;
}

bool NameGroups::Replaces(Member newer, Member older) const {
    return !IsSameFile(newer, older) &&
           IsLaterBeyondSteps(FilesOf(newer), newer.index, FilesOf(older), older.index, pass_);
}

bool NameGroups::IsSameFile(Member one, Member other) const {
    if (one.onSide1 == other.onSide1) {
        return one.index == other.index;
    }
    const std::optional<std::size_t> twin = one.onSide1 ? both_.In2(one.index) : both_.In1(one.index);
    return twin == other.index;
}

} // namespace

TimeOrder CompareFileTimes(std::optional<platform::FileTime> time1, std::optional<platform::FileTime> time2,
                           std::int64_t tolerance) {
    if (!time1 || !time2) {
        if (time1) {
            return TimeOrder::Later;
        }
        return time2 ? TimeOrder::Earlier : TimeOrder::Same;
    }
    // A tolerance below 1 ns means exact.
    const auto window = static_cast<std::uint64_t>(std::max<std::int64_t>(tolerance, 1));
    if (platform::NanosecondsApart(*time1, *time2) < window) {
        return TimeOrder::Same;
    }
    return *time1 > *time2 ? TimeOrder::Later : TimeOrder::Earlier;
}

FileIndexes LookForAdditions(const NameIndex& source, const NameIndex& other, const NameSet* only) {
    const ListedFiles& files = source.Files();
    FileIndexes result;
    if (only != nullptr) {
        for (const std::string& name : *only) {
            if (!other.Contains(name)) {
                for (std::size_t i = source.First(name); i != NameIndex::npos; i = source.Next(i)) {
                    result.push_back(static_cast<std::uint32_t>(i));
                }
            }
        }
        std::sort(result.begin(), result.end());
        return result;
    }
    for (std::size_t i = 0; i < files.Size(); ++i) {
        if (!other.Contains(files.NameOf(i))) {
            // ListedFiles keeps indexes below 2^32 - 1.
            result.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return result;
}

void LookForModified2(const Side& side1, const Side& side2, PassContext& pass) {
    NameGroups(side1, side2, pass).Run();
    pass.SettleCopies();
}

} // namespace quillmere
