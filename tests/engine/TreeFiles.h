// SPDX-License-Identifier: GPL-3.0-or-later
// Files at chosen times in the temporary trees of the pass tests.
#pragma once

#include "PassDoubles.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <string>

namespace quillmere::test {

// Makes the folder dir/name and returns it with one trailing separator, as a pass takes folders.
std::string MakeSide(const TempDir& dir, const std::string& name);

// Writes path, making its folders, and gives it the last-write time nanoseconds.
void PutFile(const std::string& path, const std::string& content, std::int64_t nanoseconds);
bool Exists(const std::string& path);

// Every entry below folder with the content and time of each file, to tell whether anything was written.
std::string Snapshot(const std::string& folder);

} // namespace quillmere::test
