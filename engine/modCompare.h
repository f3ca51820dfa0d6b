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
// duplicates kept; of the names in only, when given.
FileIndexes LookForAdditions(const NameIndex& source, const NameIndex& other, const NameSet* only = nullptr);

// For every name both sides list (of those the pass limits it to, PassContext::NamesLimit), in the order Folder 1's
// listing first shows it, reads the direction once and brings the files of that name to the newest version the
// direction allows: both ways, every file of the name on either side holds the newest of them all; one way, every file
// of the name on the receiving side holds the newest of the giving side where that is newer. Each destination is
// written at most once, straight from the newest file, so a pass never replaces what it wrote itself. A file dated more
// than a day ahead of the pass's clock (PassContext::FutureLimit) replaces nothing: each file it would replace is
// reported not copied, and the newest of the others gives in its place. Times are those the listing read.
void LookForModified2(const Side& side1, const Side& side2, PassContext& pass);

} // namespace quillmere
