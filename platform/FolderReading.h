// SPDX-License-Identifier: GPL-3.0-or-later
// The one reading of a folder that every listing is made from; each system family implements it in its own
// Listing.cpp, and platform/Listing.cpp builds the public listings on it.
#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace quillmere::platform::detail {

// The folder's names, in the order the system gives them; each kind, and the files' facts, collected only when
// wanted.
FolderContents ReadFolder(const std::string& folder, const ContentsWanted& wanted);

} // namespace quillmere::platform::detail
