// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modSync.h"

#include "engine/Additions.h"
#include "engine/DiskFileOperations.h"
#include "engine/DryRunFileOperations.h"
#include "engine/PairLock.h"
#include "engine/PassContext.h"
#include "engine/SideListing.h"
#include "engine/SyncSteps.h"
#include "engine/modCompare.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace quillmere {

namespace {

// The steps of listing each side. The file lists are indexed where they are created.
constexpr SideSteps kFolder1Steps{SyncStep::WalkFolder1, SyncStep::IndexFolder1};
constexpr SideSteps kFolder2Steps{SyncStep::WalkFolder2, SyncStep::IndexFolder2};

platform::FileTime MachineClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return platform::FileTime::FromNanoseconds(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

void RunPass(const std::string& folder1, const std::string& folder2, PassContext& pass) {
    const auto [side1, side2] =
        ListBothSides(SideToList{folder1, kFolder1Steps}, SideToList{folder2, kFolder2Steps}, pass);
    // A stopped walk leaves a side half listed, which would make present files look missing: copy nothing.
    if (pass.StopRequested() || !side1->names || !side2->names) {
        return;
    }
    pass.SetTimeTolerance(std::max(platform::TimeResolution(folder1), platform::TimeResolution(folder2)));
    CopyAdditions(*side1, *side2, pass);
    if (pass.StopRequested()) {
        return;
    }
    RunTrapped(pass.Observer(), StepOf(SyncStep::LookForModified), [&] { LookForModified2(*side1, *side2, pass); });
}

} // namespace

SyncCounts SyncFolders(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer) {
    const SyncOptions& options = job.options;
    // A dry run writes nothing, so it may look while a pass works.
    std::optional<PairLock> lock;
    if (!options.dryRun && !lock.emplace(job.folder1, job.folder2).Held()) {
        RunTrapped(observer, StepOf(SyncStep::TellNotRun), [&] { observer.NotRun(std::string(kAnotherPassRunning)); });
        return {};
    }
    DiskFileOperations disk;
    DryRunFileOperations dryRun;
    PassContext pass(settings, observer, options.dryRun ? static_cast<FileOperations&>(dryRun) : disk,
                     options.keepReplaced);
    pass.SetClock(options.clock ? options.clock() : MachineClock());
    RunPass(job.folder1, job.folder2, pass);
    // Stopped or not, the copies started are made, and told before the counts are.
    RunTrapped(observer, StepOf(SyncStep::SettleCopies), [&] { pass.SettleCopies(); });
    return pass.Counts();
}

} // namespace quillmere
