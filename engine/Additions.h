// SPDX-License-Identifier: GPL-3.0-or-later
// The files that exist on one side only, copied into the top folder of the other side.
#pragma once

#include "engine/PassContext.h"
#include "engine/Side.h"

namespace quillmere {

// In the direction read once for the pass. In both directions both lists are made before any copy, so a file
// copied one way is never copied back in the same pass.
void CopyAdditions(const Side& side1, const Side& side2, PassContext& pass);

} // namespace quillmere
