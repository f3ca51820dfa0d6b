// SPDX-License-Identifier: GPL-3.0-or-later
// Which files a pass copies: the files one side lacks, and the newer file of every same-named pair.
#pragma once

#include "base/ErrorTrap.h"
#include "engine/NameIndex.h"
#include "engine/PassContext.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// Full file paths of one side, in the order the pass found them.
using FileList = std::vector<std::string>;

enum class TimeOrder { Earlier, Same, Later };

// How time1 stands to time2 (nanoseconds). Times closer than tolerance are the Same, so that a copy onto a
// file system with coarser time steps (FAT keeps 2 s) is not seen as changed forever. No value (no file) is
// earlier than every time; two no-values are the Same.
TimeOrder CompareFileTimes(std::optional<std::int64_t> time1, std::optional<std::int64_t> time2,
                           std::int64_t tolerance);

// The paths of source whose file name (letter case counting) occurs nowhere in other, in source order,
// duplicates kept.
FileList LookForAdditions(const NameIndex& source, const NameIndex& other, ErrorSink& errors);

// For every same-named pair (list1[i], list2[j]), i ascending and for each i the j ascending, copies the newer
// file over the older one in the direction read afresh for that pair. Times are read afresh for each pair, so
// a copy made for an earlier pair is seen by later ones.
void LookForModified2(const NameIndex& list1, const NameIndex& list2, PassContext& pass);

} // namespace quillmere
