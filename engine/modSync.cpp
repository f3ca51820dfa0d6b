// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/modSync.h"

#include "engine/Additions.h"
#include "engine/DiskFileOperations.h"
#include "engine/DryRunFileOperations.h"
#include "engine/PairLock.h"
#include "engine/PassContext.h"
#include "engine/PassHooks.h"
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

void RunPass(const SyncJob& job, PassContext& pass, const PassHooks& hooks) {
    auto kept = hooks.kept ? hooks.kept(pass.Files()) : std::nullopt;
    auto [side1, side2] =
        kept ? TellAsWalked(std::move(kept->first), std::move(kept->second), kFolder1Steps, kFolder2Steps, pass)
             : ListBothSides(SideToList{job.folder1, kFolder1Steps, hooks.readers[0]},
                             SideToList{job.folder2, kFolder2Steps, hooks.readers[1]}, pass);
    // A stopped walk leaves a side half listed, which would make present files look missing: copy nothing.
    if (pass.StopRequested() || !side1->names || !side2->names) {
        return;
    }
    pass.WatchNames(hooks.listed ? hooks.listed(*side1, *side2) : nullptr, hooks.told);
    pass.SetTimeTolerance(std::max(platform::TimeResolution(job.folder1), platform::TimeResolution(job.folder2)));
    CopyAdditions(*side1, *side2, pass);
    if (!pass.StopRequested()) {
        RunTrapped(pass.Observer(), StepOf(SyncStep::LookForModified), [&] { LookForModified2(*side1, *side2, pass); });
    }
    if (hooks.ended) {
        const bool complete = !pass.StopRequested() && side1->listed && side2->listed && pass.DirectionHeld();
        hooks.ended(std::move(side1), std::move(side2), complete, pass);
    }
}

} // namespace

SyncCounts SyncFolders(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer) {
    return RunSyncPass(job, settings, observer, PassHooks{});
}

SyncCounts RunSyncPass(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer,
                       const PassHooks& hooks) {
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
    RunPass(job, pass, hooks);
    // Stopped or not, the copies started are made, and told before the counts are.
    RunTrapped(observer, StepOf(SyncStep::SettleCopies), [&] { pass.SettleCopies(); });
    return pass.Counts();
}

} // namespace quillmere
