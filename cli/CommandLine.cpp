// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include "BuildValues.h"
#include "fs/FolderNesting.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"

#include <charconv>
#include <filesystem>
#include <limits>
#include <tuple>
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
    return EnteredFolder(failed ? std::string(folder) : std::string(text.begin(), text.end()));
}

// "--every=30" is "--every" with the value "30"; "-h" and "-n" are the short names of "--help" and "--dry-run".
struct Option {
    std::string_view name;
    std::optional<std::string_view> value;
};

Option OptionIn(std::string_view arg) {
    if (arg == "-h") {
        return {"--help", std::nullopt};
    }
    if (arg == "-n") {
        return {"--dry-run", std::nullopt};
    }
    const auto equals = arg.find('=');
    if (arg.starts_with("--") && equals != std::string_view::npos) {
        return {arg.substr(0, equals), arg.substr(equals + 1)};
    }
    return {arg, std::nullopt};
}

bool IsFlag(std::string_view name) {
    return name == "--help" || name == "--version" || name == "--dry-run" || name == "--no-trash" || name == "--watch";
}

bool TakesValue(std::string_view name) {
    return name == "--direction" || name == "--every";
}

// An empty text when the value is good.
std::string TakeValue(std::string_view name, std::string_view value, CommandLine& line) {
    if (name == "--direction") {
        const std::optional<SyncDirection> direction = DirectionNamed(value);
        if (!direction) {
            return "bad direction '" + std::string(value) + "': use both, 1to2 or 2to1";
        }
        line.direction = *direction;
        return {};
    }
    line.everySeconds = SecondsIn(value);
    if (!line.everySeconds) {
        return "bad SECONDS '" + std::string(value) + "': give a whole number from 1 to " +
               std::to_string(std::numeric_limits<std::int32_t>::max());
    }
    return {};
}

void TakeFlag(std::string_view name, CommandLine& line) {
    if (name == "--help") {
        line.action = Action::Help;
    } else if (name == "--version") {
        line.action = Action::Version;
    } else if (name == "--dry-run") {
        line.dryRun = true;
    } else if (name == "--watch") {
        line.watch = true;
    } else {
        line.keepReplaced = false;
    }
}

std::string TakeFolders(const std::vector<std::string_view>& folders, CommandLine& line) {
    if (folders.size() < 2) {
        return folders.empty() ? "missing argument: FOLDER1 and FOLDER2" : "missing argument: FOLDER2";
    }
    if (folders.size() > 2) {
        return "too many arguments: '" + std::string(folders[2]) + "' after FOLDER2";
    }
    if (folders[0].empty() || folders[1].empty()) {
        return "missing argument: a folder is given as empty text";
    }
    line.typedFolder1 = folders[0];
    line.typedFolder2 = folders[1];
    line.folder1 = AsFolderPath(folders[0]);
    line.folder2 = AsFolderPath(folders[1]);
    return {};
}

} // namespace

// Help and version win over everything after them, wrong or not.
ParseResult ParseCommandLine(const std::vector<std::string_view>& args) {
    ParseResult result;
    CommandLine& line = result.commandLine;
    std::vector<std::string_view> folders;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            folders.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const Option option = OptionIn(arg);
        if (IsFlag(option.name) && option.value) {
            result.error = "option " + std::string(option.name) + " takes no value";
        } else if (IsFlag(option.name)) {
            TakeFlag(option.name, line);
            if (line.action != Action::Sync) {
                return result;
            }
        } else if (!TakesValue(option.name)) {
            result.error = "unknown option: " + std::string(arg);
        } else if (!option.value && i + 1 == args.size()) {
            result.error = "missing argument: " + std::string(option.name) + " needs a value";
        } else {
            result.error = TakeValue(option.name, option.value ? *option.value : args[++i], line);
        }
    }
    if (result.error.empty()) {
        result.error = TakeFolders(folders, line);
    }
    return result;
}

// Each folder is named as the user typed it.
std::string CheckFolders(const CommandLine& commandLine) {
    const std::tuple<const char*, const std::string*, const std::string*> folders[] = {
        {"FOLDER1", &commandLine.folder1, &commandLine.typedFolder1},
        {"FOLDER2", &commandLine.folder2, &commandLine.typedFolder2}};
    for (const auto& [label, folder, typed] : folders) {
        if (!IsFolder(*folder)) {
            // Without its trailing separator, so that a file of that name is found too.
            const bool exists = platform::ReadAttributes(folder->substr(0, folder->size() - 1)).has_value();
            return std::string(label) + " '" + *typed + (exists ? "' is not a folder" : "' does not exist");
        }
    }
    return NestedFoldersProblem({"FOLDER1", commandLine.typedFolder1}, {"FOLDER2", commandLine.typedFolder2});
}

std::string UsageText() {
    return "usage: quillmere-sync [--direction both|1to2|2to1] [--dry-run] [--no-trash] [--watch] [--every SECONDS] "
           "FOLDER1 FOLDER2\n"
           "       quillmere-sync -h | --help | --version\n"
           "\n"
           "Keeps two folder trees in step. Files are matched by name wherever they lie; a file found on one side\n"
           "only is copied into the top folder of the other side, and of two same-named files the newer replaces\n"
           "the older, which goes to the Trash first (restore it from the file manager's Trash, or trash-restore).\n"
           "Names beginning with '~' and trash folders are left alone. Nothing is ever deleted.\n"
           "\n"
           "  --direction both  copy newer files either way (the default)\n"
           "  --direction 1to2  copy only from FOLDER1 to FOLDER2\n"
           "  --direction 2to1  copy only from FOLDER2 to FOLDER1\n"
           "  -n, --dry-run     print the copies a pass would make, and write nothing\n"
           "  --no-trash        replace older files outright, without keeping them in the Trash\n"
           "  --every SECONDS   run a pass every SECONDS seconds until interrupted (SIGINT, SIGTERM or SIGHUP)\n"
           "  --watch           run a pass, then one after each change (once the folders are quiet for a second,\n"
           "                    at most ten seconds after the first change) until interrupted; with --every the\n"
           "                    full pass also runs every SECONDS seconds\n"
           "  -h, --help        print this text\n"
           "\n"
           "A value may also follow its option after '=' (--every=60). The two folders must lie apart: neither may\n"
           "be the other or lie inside it, whatever links or mounts lead there.\n"
           "\n"
           "Each replaced file kept in the Trash is printed as 'trash DESTINATION' before its copy's line. Each copy\n"
           "not made is printed as 'failed SOURCE -> DESTINATION: cause' (a file that cannot be kept in the Trash\n"
           "is not replaced), each folder not read (or link not followed) as 'not read FOLDER: cause', each file\n"
           "replaced without being kept (a Windows drive without a Recycle Bin) as 'not kept DESTINATION: cause',\n"
           "on standard error; the pass goes on.\n"
           "\n"
           "Exit status: 0 when done, 1 when a copy was not made, a folder was not read, a replaced file was not\n"
           "kept, another pass held the folders or an error was reported, 2 when the arguments are wrong or the\n"
           "folders do not lie apart, 128 + N when signal N stopped a pass before its end.\n";
}

std::string VersionText() {
    return std::string("quillmere-sync ") + build::kVersion;
}

} // namespace quillmere::cli
