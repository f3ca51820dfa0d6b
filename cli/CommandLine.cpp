// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include "BuildValues.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"

#include <charconv>
#include <filesystem>
#include <limits>
#include <utility>

namespace quillmere::cli {

namespace {

std::optional<SyncDirection> DirectionNamed(std::string_view name) {
    if (name == "both") {
        return SyncDirection::BothWays;
    }
    if (name == "1to2") {
        return SyncDirection::Folder1ToFolder2;
    }
    if (name == "2to1") {
        return SyncDirection::Folder2ToFolder1;
    }
    return std::nullopt;
}

// Whole seconds from 1 up; nothing else (no sign, no blanks, no fraction).
std::optional<std::int32_t> SecondsIn(std::string_view text) {
    std::int32_t seconds = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || text.front() == '-' || problem != std::errc() || end != text.data() + text.size() ||
        seconds < 1) {
        return std::nullopt;
    }
    return seconds;
}

// Absolute, so that the system's limit on paths counts the same however a folder is typed. The text is UTF-8,
// which a narrow path would take for the ANSI code page on Windows.
std::string AsFolderPath(std::string_view folder) {
    std::error_code failed;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(std::u8string(folder.begin(), folder.end())), failed);
    const std::u8string text = absolute.u8string();
    return WithTrailingSeparator(NormalizePath(failed ? std::string(folder) : std::string(text.begin(), text.end())));
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string_view>& args) {
    ParseResult result;
    CommandLine& line = result.commandLine;
    std::vector<std::string_view> folders;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            folders.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            line.action = Action::Help;
            return result;
        } else if (arg == "--version") {
            line.action = Action::Version;
            return result;
        } else if (arg == "--dry-run") {
            line.dryRun = true;
        } else if (arg == "--no-trash") {
            line.keepReplaced = false;
        } else if (arg == "--direction" || arg == "--every") {
            if (i + 1 == args.size()) {
                result.error = "missing argument: " + std::string(arg) + " needs a value";
                return result;
            }
            const std::string_view value = args[++i];
            if (arg == "--direction") {
                const std::optional<SyncDirection> direction = DirectionNamed(value);
                if (!direction) {
                    result.error = "bad direction '" + std::string(value) + "': use both, 1to2 or 2to1";
                    return result;
                }
                line.direction = *direction;
            } else {
                line.everySeconds = SecondsIn(value);
                if (!line.everySeconds) {
                    result.error = "bad SECONDS '" + std::string(value) + "': give a whole number from 1 to " +
                                   std::to_string(std::numeric_limits<std::int32_t>::max());
                    return result;
                }
            }
        } else {
            result.error = "unknown option: " + std::string(arg);
            return result;
        }
    }
    if (folders.size() < 2) {
        result.error = folders.empty() ? "missing argument: FOLDER1 and FOLDER2" : "missing argument: FOLDER2";
    } else if (folders.size() > 2) {
        result.error = "too many arguments: '" + std::string(folders[2]) + "' after FOLDER2";
    } else if (folders[0].empty() || folders[1].empty()) {
        result.error = "missing argument: a folder is given as empty text";
    } else {
        line.folder1 = AsFolderPath(folders[0]);
        line.folder2 = AsFolderPath(folders[1]);
    }
    return result;
}

std::string CheckFolders(const CommandLine& commandLine) {
    const std::pair<const char*, const std::string*> folders[] = {{"FOLDER1", &commandLine.folder1},
                                                                  {"FOLDER2", &commandLine.folder2}};
    for (const auto& [label, folder] : folders) {
        if (!IsFolder(*folder)) {
            // Without its trailing separator, so that a file of that name is found too.
            const bool exists = platform::ReadAttributes(folder->substr(0, folder->size() - 1)).has_value();
            return std::string(label) + " '" + *folder + (exists ? "' is not a folder" : "' does not exist");
        }
    }
    return {};
}

std::string UsageText() {
    return "usage: quillmere-sync [--direction both|1to2|2to1] [--dry-run] [--no-trash] [--every SECONDS] FOLDER1 "
           "FOLDER2\n"
           "       quillmere-sync --help | --version\n"
           "\n"
           "Keeps two folder trees in step. Files are matched by name wherever they lie; a file found on one side\n"
           "only is copied into the top folder of the other side, and of two same-named files the newer replaces\n"
           "the older, which goes to the Trash first (restore it from the file manager's Trash, or trash-restore).\n"
           "Names beginning with '~' and trash folders are left alone. Nothing is ever deleted.\n"
           "\n"
           "  --direction both  copy newer files either way (the default)\n"
           "  --direction 1to2  copy only from FOLDER1 to FOLDER2\n"
           "  --direction 2to1  copy only from FOLDER2 to FOLDER1\n"
           "  --dry-run         print the copies a pass would make, and write nothing\n"
           "  --no-trash        replace older files outright, without keeping them in the Trash\n"
           "  --every SECONDS   run a pass every SECONDS seconds until interrupted (SIGINT, SIGTERM or SIGHUP)\n"
           "\n"
           "Each replaced file kept in the Trash is printed as 'trash DESTINATION' before its copy's line. Each copy\n"
           "not made is printed as 'failed SOURCE -> DESTINATION: cause' (a file that cannot be kept in the Trash\n"
           "is not replaced), each folder not read (or link not followed) as 'not read FOLDER: cause', each file\n"
           "replaced without being kept (a Windows drive without a Recycle Bin) as 'not kept DESTINATION: cause',\n"
           "on standard error; the pass goes on.\n"
           "\n"
           "Exit status: 0 when done, 1 when a copy was not made, a folder was not read, a replaced file was not\n"
           "kept, another pass held the folders or an error was reported, 2 when the arguments are wrong, 128 + N\n"
           "when signal N stopped a pass before its end.\n";
}

std::string VersionText() {
    return std::string("quillmere-sync ") + build::kVersion;
}

} // namespace quillmere::cli
