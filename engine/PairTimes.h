// SPDX-License-Identifier: GPL-3.0-or-later
// How the times of two same-named files stand, within the time steps of the file systems the two lie on.
#pragma once

#include "engine/modCompare.h"

namespace quillmere {

// Whether file from (of one listing) is later than file onto (of the same or the other listing) by more than the
// coarser step of their two file systems, each looked up once a pass, a mount inside a synced tree included. Times
// that differ by less than any file system's coarsest step are looked at again once the step of onto's file
// system, where a copy would go, has been measured, so that a file system whose name tells nothing settles after
// its first copy.
bool IsLaterBeyondSteps(const ListedFiles& fromFiles, std::size_t from, const ListedFiles& ontoFiles, std::size_t onto,
                        PassContext& pass);

} // namespace quillmere
