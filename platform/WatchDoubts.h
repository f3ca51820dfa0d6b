// SPDX-License-Identifier: GPL-3.0-or-later
// What both systems' folder watches say when they cannot be trusted, in one place.
#pragma once

#include "platform/FolderWatch.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere::platform::detail {

WatchDoubt QueueOverflowed();
WatchDoubt WatchLimitReached(std::size_t watched, std::size_t folders);
WatchDoubt FolderNotWatched(std::string_view folder, std::string_view cause);
// kind: "a network folder", "a FUSE folder"; folder: where it lies, when it is not the top folder itself.
WatchDoubt ChangesFromElsewhere(std::string_view kind, std::string_view folder = {});
WatchDoubt FolderGone();
// The system gives no watch at all.
WatchDoubt WatchNotMade(std::string_view cause);

} // namespace quillmere::platform::detail
