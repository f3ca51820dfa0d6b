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

} // namespace

bool IsLaterBeyondSteps(const ListedFiles& fromFiles, std::size_t from, const ListedFiles& ontoFiles, std::size_t onto,
                        PassContext& pass) {
    const std::optional<platform::FileFacts> fromFacts = fromFiles.FactsOf(from);
    const std::optional<platform::FileFacts> ontoFacts = ontoFiles.FactsOf(onto);
    if (!fromFacts || !ontoFacts) {
        return CompareFileTimes(fromFiles.LastWriteTimeOf(from), ontoFiles.LastWriteTimeOf(onto),
                                pass.TimeTolerance()) == TimeOrder::Later;
    }
    const platform::FileTime fromTime = fromFacts->lastWriteTime;
    const platform::FileTime ontoTime = ontoFacts->lastWriteTime;
    // Equal times, and most changes, need no step looked up; a coarser step only ever makes two times the Same.
    if (CompareFileTimes(fromTime, ontoTime, pass.TimeTolerance()) != TimeOrder::Later) {
        return false;
    }
    if (platform::NanosecondsApart(fromTime, ontoTime) >= static_cast<std::uint64_t>(platform::kFatResolution)) {
        return true;
    }
    const PairFile source{fromFiles, from, fromFacts->identity.device};
    const PairFile destination{ontoFiles, onto, ontoFacts->identity.device};
    const auto laterWithin = [&](bool measureDestination) {
        const std::int64_t tolerance = std::max(
            {pass.TimeTolerance(), StepOf(source, false, pass), StepOf(destination, measureDestination, pass)});
        return CompareFileTimes(fromTime, ontoTime, tolerance) == TimeOrder::Later;
    };
    return laterWithin(false) && laterWithin(true);
}

} // namespace quillmere
