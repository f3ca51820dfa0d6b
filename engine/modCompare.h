// SPDX-License-Identifier: GPL-3.0-or-later
// Which files a pass copies: the files one side lacks, and the newer file of every same-named pair.
#pragma once

#include "base/ErrorTrap.h"
#include "engine/PassContext.h"
#include "engine/Side.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quillmere {

// Files of a side, by their index in its listing, in listing order.
using FileIndexes = std::vector<std::uint32_t>;

enum class TimeOrder { Earlier, Same, Later };

// How time1 stands to time2. Times closer than tolerance (nanoseconds) are the Same, so that a copy onto a
// file system with coarser time steps (FAT keeps 2 s) is not seen as changed forever. No value (no file) is
// earlier than every time; two no-values are the Same.
TimeOrder CompareFileTimes(std::optional<platform::FileTime> time1, std::optional<platform::FileTime> time2,
                           std::int64_t tolerance);

// The files of source whose file name (letter case counting) occurs nowhere in other, in source order,
// duplicates kept.
FileIndexes LookForAdditions(const NameIndex& source, const NameIndex& other, ErrorSink& errors);

// For every same-named pair (file i of side1, file j of side2), i ascending and for each i the j ascending, copies
// the newer file over the older one in the direction read afresh for that pair. Each file's time is the one its
// listing read, and a copy gives its destination the facts the copy wrote, on both sides where both list it: a
// later pair sees the copy as a fresh look would, without a second look at any file.
void LookForModified2(Side& side1, Side& side2, PassContext& pass);

} // namespace quillmere
