// SPDX-License-Identifier: GPL-3.0-or-later
// The pass's steps with what a watched pass adds to them: how each side reads its folders, which names are
// compared, and what the pass leaves behind for the next.
#pragma once

#include "engine/NameSet.h"
#include "engine/PassContext.h"
#include "engine/Side.h"
#include "engine/SideListing.h"
#include "engine/modSync.h"
#include "fs/AddFolder.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace quillmere {

struct PassHooks {
    std::array<FolderReading, 2> readers; // per side; the system's listings and looks where empty
    // Asked first, on the pass's thread: both sides as a pass before listed them, brought up to date, when they are
    // the listings the walks would give; no value walks both sides with readers.
    std::function<std::optional<std::pair<KeptSide, KeptSide>>(FileOperations& files)> kept;
    // Called once both sides are listed, before anything is compared: the names to compare, or none for all.
    std::function<const NamesToCompare*(const Side& side1, const Side& side2)> listed;
    NameSet* told = nullptr; // receives the name of every copy told
    // Called at the end of a pass that listed both sides: the sides, and whether the pass did all its work.
    std::function<void(std::unique_ptr<Side> side1, std::unique_ptr<Side> side2, bool complete,
                       const PassContext& pass)>
        ended;
};

SyncCounts RunSyncPass(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer,
                       const PassHooks& hooks);

} // namespace quillmere
