// SPDX-License-Identifier: GPL-3.0-or-later
// Times a sync pass over two generated trees against the floor of listing them and reading one time per file
// (find -printf '%T@'), at two sizes, to show the pass stays near that floor and grows linearly.
//
//   quillmere-sync-bench [FILES_PER_SIDE...]   (default 10000 100000)
#include "engine/modSync.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmere;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr std::int64_t kBaseSeconds = 1'700'000'000;

class BenchSettings final : public SyncSettings {
public:
    BenchSettings(std::string one, std::string two) : one_(std::move(one)), two_(std::move(two)) {}
    std::vector<std::string> Folder1Entries() const override { return {one_}; }
    std::vector<std::string> Folder2Entries() const override { return {two_}; }
    SyncDirection Direction() const override { return SyncDirection::BothWays; }

private:
    std::string one_;
    std::string two_;
};

void MakeFile(const std::string& path, std::int64_t seconds) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, "x", 1) != 1) {
        throw std::runtime_error("cannot write " + path);
    }
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    futimens(fd, times);
    close(fd);
}

// files per side, spread over three levels of 10 x 10 folders below a first level of 10; one name in a hundred
// is on one side only, and one in a hundred is newer on side 1.
void GenerateTrees(const std::string& one, const std::string& two, int files) {
    for (int i = 0; i < files; ++i) {
        const int folder = i % 1000;
        const std::string relative = "/d" + std::to_string(folder / 100) + "/e" + std::to_string(folder / 10 % 10) +
                                     "/f" + std::to_string(folder % 10) + "/";
        const std::string name = "file_" + std::to_string(i) + ".dat";
        for (const std::string& top : {one, two}) {
            std::filesystem::create_directories(top + relative);
        }
        const bool onlyOne = i % 100 == 1;
        const bool onlyTwo = i % 100 == 2;
        const bool newerOnOne = i % 100 == 3;
        if (!onlyTwo) {
            MakeFile(one + relative + name, kBaseSeconds + (newerOnOne ? 60 : 0));
        }
        if (!onlyOne) {
            MakeFile(two + relative + name, kBaseSeconds);
        }
    }
}

struct Timing {
    double wall = 1e30; // seconds
    double cpu = 1e30;  // user and system seconds, of this process and of the programs it ran
};

double CpuSeconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime}) {
            total += static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        }
    }
    return total;
}

// Keeps the best wall time and the best processor time seen over the runs: on a busy machine the wall time
// includes waiting for the processor, the processor time does not.
void Time(Timing& best, const std::function<void()>& work) {
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    work();
    best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart);
    best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
}

SyncCounts Pass(const std::string& one, const std::string& two) {
    SyncObserver quiet;
    return SyncFolders(BenchSettings(one + "/", two + "/"), quiet);
}

void Measure(const std::string& root, int files) {
    const std::string one = root + "/one-" + std::to_string(files);
    const std::string two = root + "/two-" + std::to_string(files);
    Timing generate;
    Time(generate, [&] { GenerateTrees(one, two, files); });
    const std::string find = "find '" + one + "' '" + two + "' -printf '%T@\\n' >/dev/null";
    const auto runFind = [&] {
        if (std::system(find.c_str()) != 0) {
            throw std::runtime_error("find failed");
        }
    };
    runFind(); // the same warm caches for everything timed below

    SyncCounts copying;
    Timing copyPass;
    Time(copyPass, [&] { copying = Pass(one, two); });
    // Taken in turns, so that a slow spell of the machine hits both alike.
    Timing findFloor;
    Timing noChange;
    SyncCounts unchanged;
    for (int run = 0; run < kRuns; ++run) {
        Time(findFloor, runFind);
        Time(noChange, [&] { unchanged = Pass(one, two); });
    }

    std::printf("%d files per side (made in %.1f s)            wall        cpu\n", files, generate.wall);
    std::printf("  copying pass:                         %8.3f s %8.3f s   %lld listed, %lld pairs, %lld copied\n",
                copyPass.wall, copyPass.cpu, static_cast<long long>(copying.filesListed),
                static_cast<long long>(copying.pairsCompared), static_cast<long long>(copying.filesCopied));
    std::printf("  no-change pass:                       %8.3f s %8.3f s   %lld listed, %lld pairs, %lld copied\n",
                noChange.wall, noChange.cpu, static_cast<long long>(unchanged.filesListed),
                static_cast<long long>(unchanged.pairsCompared), static_cast<long long>(unchanged.filesCopied));
    std::printf("  find -printf '%%T@' (the floor):       %8.3f s %8.3f s\n", findFloor.wall, findFloor.cpu);
    std::printf("  pass / floor: wall %.2f, cpu %.2f;  pass per file: %.2f us wall\n", noChange.wall / findFloor.wall,
                noChange.cpu / findFloor.cpu, noChange.wall * 1e6 / static_cast<double>(unchanged.filesListed));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {10'000, 100'000};
    }
    std::string root = (std::filesystem::temp_directory_path() / "quillmere-bench-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("trees under %s; best of %d runs\n", root.c_str(), kRuns);
    try {
        for (int files : sizes) {
            Measure(root, files);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-sync-bench: %s\n", e.what());
    }
    std::filesystem::remove_all(root);
    return 0;
}
