// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TrashClient.h"
#include "tests/support/FatMount.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <stdexcept>

namespace quillmere::test {

namespace {

// Single quotes for the shell; the tests' own paths never hold one.
std::string Quoted(const std::string& text) {
    if (text.find('\'') != std::string::npos) {
        throw std::invalid_argument("no quote expected in " + text);
    }
    return "'" + text + "'";
}

// What the shell command writes on its standard output.
std::string OutputOf(const char* command) {
    std::FILE* pipe = ::popen(command, "r");
    if (pipe == nullptr) {
        throw std::runtime_error(std::string("cannot run ") + command);
    }
    std::string text;
    std::array<char, 4096> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        text.append(buffer.data(), got);
    }
    ::pclose(pipe);
    return text;
}

} // namespace

PrivateHomeTrash::PrivateHomeTrash() : own_(std::make_unique<TempDir>()), dataHome_(own_->Path()) {
    PointHere();
}

PrivateHomeTrash::PrivateHomeTrash(std::string dataHome) : dataHome_(std::move(dataHome)) {
    PointHere();
}

void PrivateHomeTrash::PointHere() {
    if (const char* data = std::getenv("XDG_DATA_HOME")) {
        saved_ = data;
    }
    ::setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
}

PrivateHomeTrash::~PrivateHomeTrash() {
    if (saved_) {
        ::setenv("XDG_DATA_HOME", saved_->c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

std::optional<std::string> TrashCliSkipReason() {
    for (const char* program : {"trash-list", "trash-restore"}) {
        if (!FindProgram(program)) {
            return std::string(program) + " is not installed (apt-get install trash-cli)";
        }
    }
    return std::nullopt;
}

std::string TrashList() {
    return OutputOf("trash-list 2>/dev/null");
}

std::string TrashListErrors() {
    return OutputOf("trash-list 2>&1 >/dev/null");
}

std::vector<std::string> ListedDatesOf(const std::string& listing, const std::string& original) {
    std::vector<std::string> dates;
    std::istringstream lines(listing);
    constexpr std::size_t kDateLength = 19; // "YYYY-MM-DD hh:mm:ss"
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > kDateLength && line.substr(kDateLength + 1) == original) {
            dates.push_back(line.substr(0, kDateLength));
        }
    }
    return dates;
}

bool TrashRestoreFirst(const std::string& prefix) {
    std::FILE* pipe = ::popen(("trash-restore " + Quoted(prefix) + " >/dev/null 2>&1").c_str(), "w");
    if (pipe == nullptr) {
        return false;
    }
    std::fputs("0\n", pipe);
    return ::pclose(pipe) == 0;
}

std::string CheckKeptAndRestore(const std::vector<std::pair<std::string, std::string>>& pathsAndOldContents,
                                const std::string& from, const std::string& to) {
    const std::string listing = TrashList();
    std::string problems;
    for (const auto& [path, old] : pathsAndOldContents) {
        const std::vector<std::string> dates = ListedDatesOf(listing, path);
        if (dates.size() != 1 || dates[0] < from || dates[0] > to) {
            problems += path + " is not listed once between " + from + " and " + to + " in:\n" + listing;
        } else if (::unlink(path.c_str()) != 0 || !TrashRestoreFirst(path) || ReadFile(path) != old) {
            problems += path + " was not restored with its old content\n";
        }
    }
    return problems;
}

std::string LocalTimeAsListed() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    return text.data();
}

} // namespace quillmere::test
