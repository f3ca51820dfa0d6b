// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/FolderNesting.h"

#include <algorithm>

namespace quillmere {

namespace {

bool IsAbove(const platform::FileIdentity& folder, const platform::FolderLineage& lineage) {
    return std::find(lineage.above.begin(), lineage.above.end(), folder) != lineage.above.end();
}

std::string Named(NamedFolder folder) {
    return std::string(folder.label) + " '" + std::string(folder.path) + "'";
}

} // namespace

FolderNesting NestingOf(const platform::FolderLineage& first, const platform::FolderLineage& second) {
    if (first.self == second.self) {
        return FolderNesting::Same;
    }
    if (IsAbove(first.self, second)) {
        return FolderNesting::SecondInsideFirst;
    }
    if (IsAbove(second.self, first)) {
        return FolderNesting::FirstInsideSecond;
    }
    return FolderNesting::Apart;
}

std::string NestedFoldersProblem(NamedFolder first, NamedFolder second) {
    const auto firstLineage = platform::ReadFolderLineage(std::string(first.path));
    const auto secondLineage = platform::ReadFolderLineage(std::string(second.path));
    if (!firstLineage || !secondLineage) {
        return {};
    }
    switch (NestingOf(*firstLineage, *secondLineage)) {
    case FolderNesting::Same:
        return Named(first) + " and " + Named(second) + " are the same folder";
    case FolderNesting::SecondInsideFirst:
        return Named(second) + " lies inside " + Named(first);
    case FolderNesting::FirstInsideSecond:
        return Named(first) + " lies inside " + Named(second);
    case FolderNesting::Apart:
        break;
    }
    return {};
}

} // namespace quillmere
