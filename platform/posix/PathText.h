// SPDX-License-Identifier: GPL-3.0-or-later
// Small text helpers the POSIX file services share.
#pragma once

#include <string>
#include <string_view>

namespace quillmere::platform::posix {

// The path without trailing "/" (but "/" itself stays), so that lstat sees a link rather than its target.
std::string WithoutTrailingSeparators(std::string_view path);

// The last component of a path ("" for "/").
std::string_view LastComponent(std::string_view path);

// The folder that holds path ("." for a bare name).
std::string ParentFolderOf(std::string_view path);

} // namespace quillmere::platform::posix
