// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/AutostartEntry.h"

#include "BuildValues.h"
#include "platform/posix/TemporarySibling.h"

#include <cstdlib>
#include <system_error>

namespace quillmere::startup {

namespace fs = std::filesystem;

namespace {

std::string HidingEntryText() {
    return std::string("[Desktop Entry]\nType=Application\nName=") + build::kProductName + "\nHidden=true\n";
}

// An XDG base folder from the environment; relative paths are invalid there and ignored.
std::optional<fs::path> AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return fs::path(value);
}

fs::path FirstSystemConfigFolder() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string_view list = dirs ? dirs : "";
    while (!list.empty()) {
        const std::string_view entry = list.substr(0, list.find(':'));
        if (!entry.empty() && entry.front() == '/')
            return fs::path(entry);
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
    }
    return "/etc/xdg";
}

fs::path UserConfigFolder() {
    if (auto config = AbsoluteFromEnvironment("XDG_CONFIG_HOME"))
        return *config;
    if (auto home = AbsoluteFromEnvironment("HOME"))
        return *home / ".config";
    return {};
}

// Every user's session reads a machine-wide entry, so it is readable by all.
bool WriteEntryFile(const fs::path& target, std::string_view text) {
    return platform::posix::WriteFileAtomically(target.string(), text, 0644);
}

bool EscapedInsideQuotes(char c) {
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

std::string QuoteForExec(std::string_view argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    if (argument.find_first_of(kReserved) == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    for (char c : argument) {
        if (EscapedInsideQuotes(c))
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Field codes start with %, so a literal one is doubled; then the escapes every string value takes.
std::string EscapeAsValue(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '%':
            escaped += "%%";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

} // namespace

AutostartFolders DefaultAutostartFolders() {
    const fs::path user = UserConfigFolder();
    return {FirstSystemConfigFolder() / "autostart", user.empty() ? fs::path() : user / "autostart"};
}

std::optional<fs::path> RunningProgramFile() {
    std::error_code error;
    const fs::path link = fs::read_symlink("/proc/self/exe", error);
    if (error || link.empty())
        return std::nullopt;
    return ProgramFileFromLink(link);
}

fs::path ProgramFileFromLink(const fs::path& link) {
    constexpr std::string_view kReplaced = " (deleted)";
    const std::string& text = link.native();
    if (!text.ends_with(kReplaced) || Exists(link))
        return link;
    return fs::path(text.substr(0, text.size() - kReplaced.size()));
}

std::string EntryFileName(const fs::path& program) {
    return program.filename().string() + ".desktop";
}

std::string ExecArgument(std::string_view argument) {
    return EscapeAsValue(QuoteForExec(argument));
}

std::string DesktopEntryText(const fs::path& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           std::string(build::kProductName) +
           "\n"
           "Comment=Keeps two folders in step\n"
           "Icon=quillmere\n"
           "Exec=" +
           ExecArgument(program.string()) +
           "\n"
           "Terminal=false\n";
}

std::optional<fs::path> WriteAutostartEntry(const fs::path& program, const AutostartFolders& folders) {
    const std::string text = DesktopEntryText(program);
    const fs::path system = folders.system / EntryFileName(program);
    const fs::path user = folders.user / EntryFileName(program);
    std::error_code error;
    if (!folders.system.empty() && WriteEntryFile(system, text)) {
        // One entry at a time: a user entry of the same name would override (or hide) the machine-wide one.
        if (!folders.user.empty())
            fs::remove(user, error);
        return system;
    }
    if (folders.user.empty())
        return std::nullopt;
    fs::create_directories(folders.user, error);
    if (WriteEntryFile(user, text))
        return user;
    return std::nullopt;
}

bool RemoveAutostartEntry(const fs::path& program, const AutostartFolders& folders) {
    std::error_code error;
    const fs::path user = folders.user / EntryFileName(program);
    if (!folders.user.empty())
        fs::remove(user, error);
    const bool userGone = folders.user.empty() || !Exists(user);
    const fs::path system = folders.system / EntryFileName(program);
    if (folders.system.empty() || !Exists(system) || fs::remove(system, error))
        return userGone;
    // The machine-wide entry stays (an administrator made it); a user entry with Hidden=true is the
    // desktop's way to switch it off for this user.
    if (folders.user.empty())
        return false;
    fs::create_directories(folders.user, error);
    return WriteEntryFile(user, HidingEntryText());
}

} // namespace quillmere::startup
