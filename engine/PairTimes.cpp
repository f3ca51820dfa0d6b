// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PairTimes.h"

#include "fs/Main.h"
#include "platform/TimeSteps.h"

#include <algorithm>

namespace quillmere {

namespace {

struct PairFile {
    const ListedFiles& files;
    std::size_t index;
    std::uint64_t device;
};

std::int64_t StepOf(const PairFile& file, bool measure, PassContext& pass) {
    if (const auto known = pass.KnownTimeStep(file.device, measure)) {
        return *known;
    }
    return pass.LookUpTimeStep(file.device, GetFolderPart(file.files.PathOf(file.index)), measure);
}

bool MayCopyInto2(SyncDirection direction) {
    return direction == SyncDirection::BothWays || direction == SyncDirection::Folder1ToFolder2;
}

bool MayCopyInto1(SyncDirection direction) {
    return direction == SyncDirection::BothWays || direction == SyncDirection::Folder2ToFolder1;
}

} // namespace

TimeOrder OrderOfPair(const ListedFiles& files1, std::size_t i, const ListedFiles& files2, std::size_t j,
                      SyncDirection direction, PassContext& pass) {
    const std::optional<platform::FileFacts> facts1 = files1.FactsOf(i);
    const std::optional<platform::FileFacts> facts2 = files2.FactsOf(j);
    if (!facts1 || !facts2) {
        return CompareFileTimes(files1.LastWriteTimeOf(i), files2.LastWriteTimeOf(j), pass.TimeTolerance());
    }
    const platform::FileTime time1 = facts1->lastWriteTime;
    const platform::FileTime time2 = facts2->lastWriteTime;
    // Equal times, and most changes, need no step looked up.
    const TimeOrder plain = CompareFileTimes(time1, time2, pass.TimeTolerance());
    if (plain == TimeOrder::Same ||
        platform::NanosecondsApart(time1, time2) >= static_cast<std::uint64_t>(platform::kFatResolution)) {
        return plain;
    }
    const PairFile one{files1, i, facts1->identity.device};
    const PairFile two{files2, j, facts2->identity.device};
    const auto tolerance = [&](bool measure1, bool measure2) {
        return std::max({pass.TimeTolerance(), StepOf(one, measure1, pass), StepOf(two, measure2, pass)});
    };
    const TimeOrder known = CompareFileTimes(time1, time2, tolerance(false, false));
    const bool into1 = known == TimeOrder::Earlier && MayCopyInto1(direction);
    const bool into2 = known == TimeOrder::Later && MayCopyInto2(direction);
    return into1 || into2 ? CompareFileTimes(time1, time2, tolerance(into1, into2)) : known;
}

} // namespace quillmere
