// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modCompare.h"

#include "engine/PairTimes.h"
#include "engine/PathsOnBothSides.h"

#include <algorithm>

namespace quillmere {

namespace {

const std::string& AdditionsProcedure() {
    static const std::string text = ProcedureText("modCompare.LookForAdditions");
    return text;
}

const std::string& ModifiedProcedure() {
    static const std::string text = ProcedureText("modCompare.LookForModified2");
    return text;
}

// The two sides as one comparison sees them. Exact times (nanoseconds) are compared, not the local date-time values
// of GetFileLastModified: a double counting days keeps only about a microsecond, so two different times could
// compare equal.
class PairComparison {
public:
    PairComparison(Side& side1, Side& side2, PassContext& pass)
        : side1_(side1), side2_(side2), both_(side1.files, side2.files), pass_(pass) {}

    void Compare(std::size_t i, std::size_t j);

private:
    // A copy still pending onto either file would change the facts the comparison reads.
    void SettleCopiesOnto(std::size_t i, std::size_t j) {
        if (pass_.HasPendingCopies()) {
            pass_.SettleIfTouched(side1_.files.PathOf(i), side2_.files.PathOf(j));
        }
    }
    TimeOrder Order(std::size_t i, std::size_t j, SyncDirection direction) {
        return OrderOfPair(side1_.files, i, side2_.files, j, direction, pass_);
    }
    void CopyNewer(bool oneToTwo, std::size_t i, std::size_t j);

    Side& side1_;
    Side& side2_;
    const PathsOnBothSides both_;
    PassContext& pass_;
};

void PairComparison::Compare(std::size_t i, std::size_t j) {
    const std::string& procedure = ModifiedProcedure();
    ErrorSink& errors = pass_.Observer();
    pass_.PairCompared();
    // A direction that cannot be read copies nothing rather than guess.
    SyncDirection direction = SyncDirection::None;
    RunTrapped(errors, procedure, 114, [&] { direction = pass_.Settings().Direction(); });
    // One reading decides both ways: the times are those the listing read, brought up to date by every copy since.
    // Reading both again before the second test only matters when a file changes meanwhile, a race either reading
    // may win, and the copy checks that each file is still the one compared.
    SettleCopiesOnto(i, j);
    const TimeOrder order = Order(i, j, direction);
    switch (direction) {
    case SyncDirection::BothWays:
        if (order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 118, [&] { CopyNewer(true, i, j); });
        } else if (order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 122, [&] { CopyNewer(false, i, j); });
        }
        return;
    case SyncDirection::Folder1ToFolder2:
        if (order == TimeOrder::Later) {
            RunTrapped(errors, procedure, 128, [&] { CopyNewer(true, i, j); });
        }
        return;
    case SyncDirection::Folder2ToFolder1:
        if (order == TimeOrder::Earlier) {
            RunTrapped(errors, procedure, 134, [&] { CopyNewer(false, i, j); });
        }
        return;
    case SyncDirection::None:
        return;
    }
}

// The newer file over the older one, which is replaced only while both are still as compared, and kept in the
// Trash when the pass keeps replaced files. What the copy wrote is what later pairs see of the destination, under
// every name the listings know it by, once the copy settles (which it does before a later pair reads it).
void PairComparison::CopyNewer(bool oneToTwo, std::size_t i, std::size_t j) {
    ListedFiles& from = oneToTwo ? side1_.files : side2_.files;
    ListedFiles& to = oneToTwo ? side2_.files : side1_.files;
    ListedFiles& toOnTheOtherSide = oneToTwo ? side1_.files : side2_.files;
    const std::size_t source = oneToTwo ? i : j;
    const std::size_t destination = oneToTwo ? j : i;
    const std::optional<std::size_t> same = oneToTwo ? both_.In1(destination) : both_.In2(destination);
    pass_.Copy(platform::CopyRequest{.source = from.PathOf(source),
                                     .destination = to.PathOf(destination),
                                     .sourceAsCompared = from.FactsOf(source),
                                     .destinationAsCompared = to.FactsOf(destination),
                                     .keepReplaced = pass_.KeepsReplaced()},
               [&to, &toOnTheOtherSide, destination, same](const platform::CopyOutcome& outcome) {
                   if (!outcome.written) {
                       return;
                   }
                   to.SetFacts(destination, outcome.written);
                   if (same) {
                       toOnTheOtherSide.SetFacts(*same, outcome.written);
                   }
               });
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

FileIndexes LookForAdditions(const NameIndex& source, const NameIndex& other, ErrorSink& errors) {
    const std::string& procedure = AdditionsProcedure();
    const ListedFiles& files = source.Files();
    FileIndexes result;
    for (std::size_t i = 0; i < files.Size(); ++i) {
        bool found = true;
        RunTrapped(errors, procedure, 112, [&] { found = other.Contains(files.NameOf(i)); });
        if (!found) {
            // ListedFiles keeps indexes below 2^32 - 1.
            RunTrapped(errors, procedure, 120, [&] { result.push_back(static_cast<std::uint32_t>(i)); });
        }
    }
    return result;
}

namespace {

void ComparePairs(Side& side1, Side& side2, PassContext& pass) {
    PairComparison pairs(side1, side2, pass);
    const ListedFiles& files1 = side1.files;
    const NameIndex& names2 = side2.names.value();
    for (std::size_t i = 0; i < files1.Size(); ++i) {
        for (std::size_t j = names2.First(files1.NameOf(i)); j != NameIndex::npos; j = names2.Next(j)) {
            if (pass.StopRequested()) {
                return;
            }
            pairs.Compare(i, j);
        }
    }
}

} // namespace

void LookForModified2(Side& side1, Side& side2, PassContext& pass) {
    // The copies hand what they wrote to the two listings, which need not outlive this.
    try {
        ComparePairs(side1, side2, pass);
    } catch (...) {
        pass.SettleCopies();
        throw;
    }
    pass.SettleCopies();
}

} // namespace quillmere
