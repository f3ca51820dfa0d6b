// SPDX-License-Identifier: GPL-3.0-or-later
// Sorted listings on top of each system's folder reading, so that every system walks names in the same order.
#include "platform/FolderReading.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace quillmere::platform {

namespace {

// The files in name order, each keeping its facts beside it.
void SortFiles(FolderContents& contents) {
    if (contents.fileFacts.empty()) {
        std::sort(contents.files.begin(), contents.files.end());
        return;
    }
    std::vector<std::size_t> order(contents.files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return contents.files[a] < contents.files[b]; });
    std::vector<std::string> files;
    std::vector<std::optional<FileFacts>> facts;
    files.reserve(order.size());
    facts.reserve(order.size());
    for (const std::size_t at : order) {
        files.push_back(std::move(contents.files[at]));
        facts.push_back(contents.fileFacts[at]);
    }
    contents.files = std::move(files);
    contents.fileFacts = std::move(facts);
}

FolderContents SortedContents(const std::string& folder, const ContentsWanted& wanted) {
    FolderContents contents = detail::ReadFolder(folder, wanted);
    std::sort(contents.folders.begin(), contents.folders.end());
    SortFiles(contents);
    std::sort(contents.linksNotFollowed.begin(), contents.linksNotFollowed.end());
    return contents;
}

} // namespace

Listing ListSubfolderNames(const std::string& folder) {
    FolderContents contents = SortedContents(folder, ContentsWanted{true, false, false});
    return Listing{contents.status, std::move(contents.folders)};
}

Listing ListFileNames(const std::string& folder) {
    FolderContents contents = SortedContents(folder, ContentsWanted{false, true, false});
    return Listing{contents.status, std::move(contents.files)};
}

FolderContents ListFolderContents(const std::string& folder, const ContentsWanted& wanted) {
    return SortedContents(folder, wanted);
}

} // namespace quillmere::platform
