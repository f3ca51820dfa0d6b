// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreeFiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace quillmere::test {

std::string MakeSide(const TempDir& dir, const std::string& name) {
    const std::string folder = dir / name;
    std::filesystem::create_directories(folder);
    return folder + "/";
}

void PutFile(const std::string& path, const std::string& content, std::int64_t nanoseconds) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, content);
    // Both times are set: fusefat stamps the current time when the access time is left out.
    const timespec time{static_cast<time_t>(nanoseconds / kSecond), static_cast<long>(nanoseconds % kSecond)};
    const timespec times[2] = {time, time};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        throw std::runtime_error("cannot set the time of " + path);
    }
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string Snapshot(const std::string& folder) {
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        std::string line = path;
        if (entry.is_regular_file()) {
            line += " " + ReadFile(path) + " " + std::to_string(LastWriteNs(path));
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

} // namespace quillmere::test
