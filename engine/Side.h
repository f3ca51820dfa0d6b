// SPDX-License-Identifier: GPL-3.0-or-later
// One side of a pass: its top folder, the files its walk listed with the facts read then, and those files by name.
#pragma once

#include "engine/NameIndex.h"
#include "fs/ListedFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace quillmere {

// What a side's walk told beside its files: the folders it examined, the folders and links it did not read, and
// the errors it met.
struct WalkTally {
    std::int64_t examined = 0;
    std::int64_t notRead = 0;
    std::int64_t errors = 0;
};

struct Side {
    explicit Side(std::string top) : folder(std::move(top)) {}
    Side(const Side&) = delete; // the index refers to the files
    Side& operator=(const Side&) = delete;

    std::string folder; // ends in one separator
    ListedFiles files;
    // False when the top folder is missing or could not be listed. Such a side looks empty, and copying the
    // other side into it would overwrite, unseen and without comparing times, whatever it really holds.
    bool listed = false;
    std::optional<NameIndex> names; // made once the files are listed, for every step that follows
    WalkTally walk;
};

} // namespace quillmere
