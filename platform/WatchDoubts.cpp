// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WatchDoubts.h"

#include "platform/FileSystem.h"

namespace quillmere::platform::detail {

namespace {

// The folder as a user reads it, without its last separator.
std::string_view Shown(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == kSeparator) {
        folder.remove_suffix(1);
    }
    return folder;
}

} // namespace

WatchDoubt QueueOverflowed() {
    return {DoubtKind::QueueOverflowed, "too many changes came at once"};
}

WatchDoubt WatchLimitReached(std::size_t watched, std::size_t folders) {
    return {DoubtKind::WatchLimitReached, "the system's limit on watched folders is reached (" +
                                              std::to_string(watched) + " of " + std::to_string(folders) +
                                              " folders watched)"};
}

WatchDoubt FolderNotWatched(std::string_view folder, std::string_view cause) {
    return {DoubtKind::FolderNotWatched, std::string(Shown(folder)) + " cannot be watched: " + std::string(cause)};
}

WatchDoubt ChangesFromElsewhere(std::string_view kind, std::string_view folder) {
    std::string words(kind);
    if (!folder.empty()) {
        words += " at " + std::string(Shown(folder));
    }
    return {DoubtKind::ChangesFromElsewhere, words};
}

WatchDoubt FolderGone() {
    return {DoubtKind::FolderGone, "the folder was moved or deleted, or is missing"};
}

WatchDoubt WatchNotMade(std::string_view cause) {
    return {DoubtKind::FolderNotWatched, "folders cannot be watched: " + std::string(cause)};
}

} // namespace quillmere::platform::detail
