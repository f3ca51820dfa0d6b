// SPDX-License-Identifier: GPL-3.0-or-later
// The program file the Run value names: found by listing the program's folder, not taken from the process.
#include "startup/ProgramFile.h"
#include "startup/RegStuff.h"
#include "startup/mStartUp.h"

#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace quillmere::startup {

namespace {

// As the "*.exe" pattern matches: letter case does not count.
bool HasExeExtension(const std::string& name) {
    constexpr std::string_view kExtension = ".exe";
    return name.size() > kExtension.size() &&
           std::equal(kExtension.begin(), kExtension.end(), name.end() - kExtension.size(),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

} // namespace

std::string ProgramFolder() {
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
    const std::string file = platform::windows::ToUtf8(std::wstring_view(path.data(), path.size())).value_or("");
    const auto last = file.find_last_of('\\');
    if (last == std::string::npos)
        return {};
    // A drive root keeps its backslash ("D:\"), any other folder loses it.
    return file.substr(0, last == 2 && file[1] == ':' ? last + 1 : last);
}

std::string RunEntryData(std::string_view folder, std::string_view fileName) {
    std::string data(folder);
    if (data.empty() || data.back() != '\\')
        data += '\\';
    data += fileName;
    return data;
}

std::optional<std::string> FindProgramFileName(const std::string& folder) {
    using namespace platform;
    for (const std::string& name : ListFileNames(folder).names) {
        if (!HasExeExtension(name))
            continue;
        const auto attributes = ReadAttributes(RunEntryData(folder, name));
        if (attributes && !(*attributes & (attr::Hidden | attr::System)))
            return name;
    }
    return std::nullopt;
}

void AddToStartup() {
    if (const auto name = FindProgramFileName(ProgramFolder()))
        AddRunEntry(*name);
}

void RemoveFromStartup() {
    if (const auto name = FindProgramFileName(ProgramFolder()))
        RemoveRunEntry(*name);
}

} // namespace quillmere::startup
