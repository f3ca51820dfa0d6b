// SPDX-License-Identifier: GPL-3.0-or-later
// Times what keeping the replaced file in the Trash adds to a replacement: reserving the trash entry and
// hard-linking or moving the old file into it, for 1,000 small files and for one 1 GB file, beside the time of
// the replacing copy itself.
//
//   quillmere-trash-bench [FOLDER [SMALL_FILES]]   (default: the system's temporary folder, 1000 files)
//
// The home trash ($XDG_DATA_HOME) is put in FOLDER as well, so that everything happens on FOLDER's file system;
// where hard links are refused (FAT), the link is reported as refused. The large file is left out where the file
// system has no room for two of it.
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmere::platform;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr std::size_t kLargeBytes = std::size_t{1} << 30;

void MakeFile(const std::string& path, std::size_t bytes) {
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
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Keeps every file (link or move); the entries roll back when a run ends, untimed, so that runs start alike.
std::optional<double> TimeKeeping(const std::vector<std::string>& files, bool byLink) {
    std::optional<double> best;
    for (int run = 0; run < kRuns; ++run) {
        std::deque<TrashEntry> kept;
        const auto start = Clock::now();
        for (const std::string& file : files) {
            TrashEntry& entry = kept.emplace_back(file);
            if (!(byLink ? entry.KeepByLink() : entry.KeepByMove())) {
                std::fprintf(stderr, "  (%s)\n", entry.Error().c_str());
                return std::nullopt;
            }
        }
        best = std::min(best.value_or(1e300), MillisecondsSince(start));
    }
    return best;
}

std::optional<double> TimeCopying(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                                  int runs) {
    std::optional<double> best;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < sources.size(); ++i) {
            // A replacement of the file as it stands, the way a pass replaces the one it compared.
            const CopyRequest request{sources[i], targets[i], std::nullopt, ReadFileFacts(targets[i]), {}};
            if (CopyFileFailSafe(request).status != CopyStatus::Copied) {
                return std::nullopt;
            }
        }
        best = std::min(best.value_or(1e300), MillisecondsSince(start));
    }
    return best;
}

std::string Shown(const std::optional<double>& milliseconds, int files) {
    if (!milliseconds) {
        return "refused";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%9.2f ms (%.1f us per file)", *milliseconds, *milliseconds * 1000 / files);
    return text;
}

void Measure(const std::string& root, const std::string& what, int files, std::size_t bytes, int copyRuns) {
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    for (int i = 0; i < files; ++i) {
        sources.push_back(root + "/new-" + std::to_string(i));
        targets.push_back(root + "/old-" + std::to_string(i));
        MakeFile(sources.back(), bytes);
        MakeFile(targets.back(), bytes);
    }
    std::printf("%s\n", what.c_str());
    std::printf("  replacing copy:    %s\n", Shown(TimeCopying(sources, targets, copyRuns), files).c_str());
    std::printf("  keeping by link: + %s\n", Shown(TimeKeeping(targets, true), files).c_str());
    std::printf("  keeping by move: + %s\n", Shown(TimeKeeping(targets, false), files).c_str());
    std::fflush(stdout);
    for (const auto& file : sources) {
        std::filesystem::remove(file);
    }
    for (const auto& file : targets) {
        std::filesystem::remove(file);
    }
}

bool HasRoomForTwo(const std::string& folder, std::size_t bytes) {
    struct statvfs info {};
    return ::statvfs(folder.c_str(), &info) == 0 &&
           static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize) > 2.2 * static_cast<double>(bytes);
}

} // namespace

int main(int argc, char** argv) {
    const std::string parent = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const int smallFiles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    std::string root = parent + "/quillmere-trash-bench-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    std::printf("files in %s, home trash in %s/data/Trash; best of %d runs\n", root.c_str(), root.c_str(), kRuns);
    int status = 0;
    try {
        Measure(root, std::to_string(smallFiles) + " small files (4 KiB)", smallFiles, 4096, kRuns);
        if (HasRoomForTwo(root, kLargeBytes)) {
            Measure(root, "one 1 GiB file (copied once)", 1, kLargeBytes, 1);
        } else {
            std::printf("one 1 GiB file: left out, no room for two on this file system\n");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-trash-bench: %s\n", e.what());
        status = 1;
    }
    std::filesystem::remove_all(root);
    return status;
}
