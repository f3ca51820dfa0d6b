// SPDX-License-Identifier: GPL-3.0-or-later
// The program file the Run value names: the running one, as the process's module file name tells it.
#include "startup/ProgramFile.h"
#include "startup/RegStuff.h"
#include "startup/mStartUp.h"

#include "platform/windows/WideText.h"

#include <windows.h>

#include <vector>

namespace quillmere::startup {

namespace {

// The running program file's full path, as the system has it.
std::string ProgramFilePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // cut short: try again with room enough
    }
    return platform::windows::ToUtf8(std::wstring_view(path.data(), path.size())).value_or("");
}

} // namespace

std::string ProgramFolder() {
    const std::string file = ProgramFilePath();
    const auto last = file.find_last_of('\\');
    if (last == std::string::npos)
        return {};
    // A drive root keeps its backslash ("D:\"), any other folder loses it.
    return file.substr(0, last == 2 && file[1] == ':' ? last + 1 : last);
}

std::optional<std::string> ProgramFileName() {
    const std::string file = ProgramFilePath();
    const auto last = file.find_last_of('\\');
    if (last == std::string::npos || last + 1 == file.size())
        return std::nullopt;
    return file.substr(last + 1);
}

std::string RunEntryData(std::string_view folder, std::string_view fileName) {
    std::string data = "\"" + std::string(folder);
    if (data.size() == 1 || data.back() != '\\')
        data += '\\';
    data += fileName;
    return data + '"';
}

void AddToStartup() {
    if (const auto name = ProgramFileName())
        AddRunEntry(*name);
}

void RemoveFromStartup() {
    if (const auto name = ProgramFileName())
        RemoveRunEntry(*name);
}

} // namespace quillmere::startup
