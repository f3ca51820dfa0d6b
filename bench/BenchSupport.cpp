// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/BenchSupport.h"

#include "fs/Main.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace quillmere::bench {

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void SetTime(const std::string& path, std::time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        throw std::runtime_error("cannot set the time of " + path);
    }
}

void MakeFile(const std::string& path, std::size_t bytes, std::time_t seconds) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::vector<char> block(std::min<std::size_t>(bytes, 1 << 20), 'x');
    for (std::size_t left = bytes; fd >= 0 && left > 0;) {
        const auto written = ::write(fd, block.data(), std::min(left, block.size()));
        if (written <= 0) {
            break;
        }
        left -= static_cast<std::size_t>(written);
    }
    if (fd < 0 || ::close(fd) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
    SetTime(path, seconds);
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

SyncCounts PassBetween(const std::string& one, const std::string& two, SyncDirection direction, SyncObserver& observer,
                       SyncOptions options) {
    return SyncFolders(SyncJob{EnteredFolder(one), EnteredFolder(two), std::move(options)}, FixedDirection(direction),
                       observer);
}

double SecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool HasRoomForThree(const std::string& folder, std::size_t bytes) {
    struct statvfs info {};
    return ::statvfs(folder.c_str(), &info) == 0 &&
           static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize) > 3.2 * static_cast<double>(bytes);
}

} // namespace quillmere::bench
