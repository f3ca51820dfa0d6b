// SPDX-License-Identifier: GPL-3.0-or-later
// How the times of a same-named pair stand, within the time step of the file systems the two files lie on.
#pragma once

#include "engine/modCompare.h"

namespace quillmere {

// The order of file i of side 1 and file j of side 2. Times closer than the coarser step of their two file
// systems (each looked up once a pass, a mount inside a synced tree included) are the Same. Times that differ by
// less than any file system's coarsest step are looked at again once the step of the side a copy would go to has
// been measured, so that a file system whose name tells nothing settles after its first copy.
TimeOrder OrderOfPair(const ListedFiles& files1, std::size_t i, const ListedFiles& files2, std::size_t j,
                      SyncDirection direction, PassContext& pass);

} // namespace quillmere
