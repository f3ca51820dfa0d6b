// SPDX-License-Identifier: GPL-3.0-or-later
// Which program file runs, and where, as the Windows Run value names it.
#pragma once

#ifdef _WIN32

#include <optional>
#include <string>
#include <string_view>

namespace quillmere::startup {

// The folder holding the running program file: no trailing backslash, except for a drive root ("D:\").
std::string ProgramFolder();

// The running program file's own name (its module file name, "Quillmere.exe"); none when the system cannot
// tell it. The Run value is named after it and starts it: never another program that shares its folder, as an
// unzipped copy in Downloads does.
std::optional<std::string> ProgramFileName();

// "folder\fileName" with one backslash, also when folder is a drive root, in double quotes: unquoted, a path
// with blanks ("C:\Program Files\...") may start another program ("C:\Program.exe").
std::string RunEntryData(std::string_view folder, std::string_view fileName);

} // namespace quillmere::startup

#endif // _WIN32
