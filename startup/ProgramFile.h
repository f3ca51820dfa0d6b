// SPDX-License-Identifier: GPL-3.0-or-later
// Where the running program file is, as the Windows Run value names it.
#pragma once

#ifdef _WIN32

#include <optional>
#include <string>
#include <string_view>

namespace quillmere::startup {

// The folder holding the running program file: no trailing backslash, except for a drive root ("D:\").
std::string ProgramFolder();

// "folder\fileName" with one backslash, also when folder is a drive root; no quotes, whatever blanks it holds.
std::string RunEntryData(std::string_view folder, std::string_view fileName);

// The first "*.exe" file in folder, in name order, that is neither hidden nor system; none when there is none.
std::optional<std::string> FindProgramFileName(const std::string& folder);

} // namespace quillmere::startup

#endif // _WIN32
