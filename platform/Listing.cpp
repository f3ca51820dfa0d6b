// SPDX-License-Identifier: GPL-3.0-or-later
// Sorted listings on top of each system's folder reading, so that every system walks names in the same order.
#include "platform/FolderReading.h"

#include <algorithm>
#include <utility>

namespace quillmere::platform {

namespace {

FolderContents SortedContents(const std::string& folder, bool wantFolders, bool wantFiles) {
    FolderContents contents = detail::ReadFolder(folder, wantFolders, wantFiles);
    std::sort(contents.folders.begin(), contents.folders.end());
    std::sort(contents.files.begin(), contents.files.end());
    std::sort(contents.linksNotFollowed.begin(), contents.linksNotFollowed.end());
    return contents;
}

} // namespace

Listing ListSubfolderNames(const std::string& folder) {
    FolderContents contents = SortedContents(folder, true, false);
    return Listing{contents.status, std::move(contents.folders)};
}

Listing ListFileNames(const std::string& folder) {
    FolderContents contents = SortedContents(folder, false, true);
    return Listing{contents.status, std::move(contents.files)};
}

FolderContents ListFolderContents(const std::string& folder, bool wantFiles) {
    return SortedContents(folder, true, wantFiles);
}

} // namespace quillmere::platform
