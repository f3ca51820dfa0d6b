// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up entry on free desktops: an XDG autostart desktop entry named after the program file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::startup {

struct AutostartFolders {
    std::filesystem::path system; // machine-wide: the first of $XDG_CONFIG_DIRS (default /etc/xdg), + /autostart
    std::filesystem::path user;   // the user's own: $XDG_CONFIG_HOME (default ~/.config), + /autostart
};

AutostartFolders DefaultAutostartFolders();

// The running program's file, or nothing when the system does not say.
std::optional<std::filesystem::path> RunningProgramFile();

// The program file that the kernel's link to a running program names. A file replaced while the program runs
// (a package upgrade) is named with " (deleted)" after its path; the entry is for the file now at that path.
std::filesystem::path ProgramFileFromLink(const std::filesystem::path& link);

// "quillmere.desktop" for /usr/bin/quillmere.
std::string EntryFileName(const std::filesystem::path& program);

// One argument of an Exec line: double-quoted when it holds a reserved character, with " ` $ \ escaped inside,
// % doubled, then escaped as a desktop-entry string value (so one backslash in a path is written as four).
std::string ExecArgument(std::string_view argument);

std::string DesktopEntryText(const std::filesystem::path& program);

// Writes the entry machine-wide where that is permitted, else in the user's own folder, each atomically.
// Returns the file written, or nothing when neither could be.
std::optional<std::filesystem::path> WriteAutostartEntry(const std::filesystem::path& program,
                                                         const AutostartFolders& folders);

// Removes the entry from both folders. A machine-wide entry the user may not remove is switched off for the
// user with a hiding entry of the same name instead. Returns false when the program would still start.
bool RemoveAutostartEntry(const std::filesystem::path& program, const AutostartFolders& folders);

} // namespace quillmere::startup
