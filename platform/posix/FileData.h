// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a file's data from one open file to another: the copy's temporary file and a replaced file kept in
// another device's trash are filled alike.
#pragma once

namespace quillmere::platform::posix {

// Everything from from's offset to its end, written at to's offset; false (errno set) on any failure.
bool CopyFileData(int from, int to);

} // namespace quillmere::platform::posix
