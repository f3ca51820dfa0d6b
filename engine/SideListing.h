// SPDX-License-Identifier: GPL-3.0-or-later
// Both sides of a pass listed at the same time, each walked on a thread of its own. Nothing of the walks reaches
// the observer from those threads: what they have to tell is passed on by the pass's own thread, one call at a
// time, all of Folder 1's before any of Folder 2's, so that every run tells the same in the same order.
#pragma once

#include "engine/PassContext.h"
#include "engine/Side.h"
#include "engine/SyncSteps.h"
#include "fs/AddFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmere {

// The steps of listing one side.
struct SideSteps {
    SyncStep walk;
    SyncStep index;
};

struct SideToList {
    std::string folder; // ends in one separator
    SideSteps steps;
    FolderReading reading = {}; // how the walk reads each folder, called on the side's own thread
};

// A side as a pass before listed it, brought up to date without a walk, with the paths of the links its walk did
// not follow, in the walk's order.
struct KeptSide {
    std::unique_ptr<Side> side;
    const std::vector<std::string>* linksNotFollowed = nullptr;
};

// Whether a file of folder takes part in a pass: a name beginning with "~" does not, and when it is a temporary
// file a killed copy left behind, it is cleared away on the way.
bool TakesPart(const std::string& folder, std::string_view name, FileOperations& files);

// Tells through pass, Folder 1's first, what the walks of both sides told when they were listed: their folders
// examined, the links they did not follow and their files. A walk that told more is never kept.
std::pair<std::unique_ptr<Side>, std::unique_ptr<Side>>
TellAsWalked(KeptSide first, KeptSide second, const SideSteps& steps1, const SideSteps& steps2, PassContext& pass);

// Every file of each tree whose name does not begin with "~", with its facts, indexed by name. A side whose top
// folder could not be listed comes back not listed; a stopped pass may leave a side half listed (the caller
// checks for a stop before using it).
std::pair<std::unique_ptr<Side>, std::unique_ptr<Side>> ListBothSides(const SideToList& first, const SideToList& second,
                                                                      PassContext& pass);

} // namespace quillmere
