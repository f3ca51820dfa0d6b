// SPDX-License-Identifier: GPL-3.0-or-later
// The arguments of quillmere-sync, read into what the program is to do.
#pragma once

#include "engine/modSync.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::cli {

enum class Action { Sync, Help, Version };

struct CommandLine {
    Action action = Action::Sync;
    SyncDirection direction = SyncDirection::BothWays;
    bool dryRun = false;
    bool keepReplaced = true;                 // --no-trash replaces files outright
    std::optional<std::int32_t> everySeconds; // a pass every so many seconds until a signal; one pass without
    bool watch = false;                       // a pass after each change too, until a signal
    std::string folder1;                      // normalized, ending in one separator
    std::string folder2;
    std::string typedFolder1; // as the user typed them, to name them so
    std::string typedFolder2;
};

struct ParseResult {
    CommandLine commandLine;
    std::string error; // one line naming the problem; empty when the arguments are good
};

// args are the arguments after the program name: options in any order, a value as the next argument or after
// "=" ("--every=30"), "-h" and "-n" for "--help" and "--dry-run". Folders are not looked at here (see
// CheckFolders).
ParseResult ParseCommandLine(const std::vector<std::string_view>& args);

// One line naming the first of the two folders that does not exist or is not a folder, or both folders when they
// are the same or one lies inside the other; empty when the two are folders apart.
std::string CheckFolders(const CommandLine& commandLine);

std::string UsageText();
std::string VersionText();

} // namespace quillmere::cli
