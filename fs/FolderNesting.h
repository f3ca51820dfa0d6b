// SPDX-License-Identifier: GPL-3.0-or-later
// The one rule for a pair of folders: a pass between two folders that are the same, or of which one lies inside
// the other, would copy one side's files into the other again and again (and the copies become the first side's
// files too). Folders are compared by identity, after links are resolved, never by their text.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace quillmere {

enum class FolderNesting { Apart, Same, FirstInsideSecond, SecondInsideFirst };

FolderNesting NestingOf(const platform::FolderLineage& first, const platform::FolderLineage& second);

// A folder as the user names it: "Folder 1" or "FOLDER1", and its path.
struct NamedFolder {
    std::string_view label;
    std::string_view path;
};

// Why the two folders may not be synchronized ("Folder 2 '/home/me/Documents/' lies inside Folder 1
// '/home/me/'"); empty when they lie apart, or when either cannot be examined, which the pass reports itself.
std::string NestedFoldersProblem(NamedFolder first, NamedFolder second);

} // namespace quillmere
