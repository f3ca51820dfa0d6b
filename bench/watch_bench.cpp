// SPDX-License-Identifier: GPL-3.0-or-later
// What watching two trees costs: the time to set the watches up, the memory they hold (the program's own and the
// kernel's), the processor time while nothing changes, and how soon and how cheaply a change is told; then a full
// pass beside the watched passes after one saved file each: their processor time, the memory kept between them,
// and the delay from the save to its copy in place, the quiet rule's second included; then watched passes after
// one new file each (a fifth as many), which change the number of files in a folder.
//
//   quillmere-watch-bench [--idle SECONDS] [--saves N] [FILES_PER_SIDE...]   (default 60 s, 100; 100000 1000000)
//
// Trees: empty files of one time, 100 a folder (the layout of quillmere-sync-bench), under /tmp, removed afterwards.
#include "bench/BenchSupport.h"
#include "engine/WatchSchedule.h"
#include "engine/WatchedPasses.h"
#include "platform/FolderWatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmere;
using bench::Median;
using bench::SecondsOf;

constexpr int kFilesPerFolder = 100;
constexpr int kChanges = 100;

std::string FolderOf(const std::string& top, int folder) {
    return top + "/a" + std::to_string(folder / 100) + "/b" + std::to_string(folder % 100) + "/";
}

void MakeEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::close(fd) != 0) {
        throw std::runtime_error("cannot make " + path);
    }
}

std::string FileOf(const std::string& top, int folder, int file) {
    return FolderOf(top, folder) + "file_" + std::to_string(folder * kFilesPerFolder + file) + ".dat";
}

// Returns how many folders hold files.
int MakeTree(const std::string& top, int files) {
    const int folders = (files + kFilesPerFolder - 1) / kFilesPerFolder;
    for (int folder = 0; folder < folders; ++folder) {
        std::filesystem::create_directories(FolderOf(top, folder));
        for (int i = folder * kFilesPerFolder; i < std::min(files, (folder + 1) * kFilesPerFolder); ++i) {
            // One time for all, so that the trees start in step.
            bench::MakeFile(FolderOf(top, folder) + "file_" + std::to_string(i) + ".dat", 0, bench::kOldSeconds);
        }
    }
    return folders;
}

// Processor time of the whole process, every thread included.
double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    double size = 0;
    double resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// The watches this process holds, as the kernel lists them beside its inotify descriptors.
long CountWatches() {
    long watches = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fdinfo")) {
        std::ifstream info(entry.path());
        for (std::string line; std::getline(info, line);) {
            watches += line.starts_with("inotify wd:") ? 1 : 0;
        }
    }
    return watches;
}

long KernelObjectBytes(const char* cache) {
    std::ifstream size(std::string("/sys/kernel/slab/") + cache + "/object_size");
    long bytes = 0;
    size >> bytes;
    return bytes;
}

// A change to a file in a folder picked at random, then the time until the watch names that folder.
void MeasureChanges(platform::FolderWatch& watch, const std::vector<std::string>& tops, int folders) {
    std::mt19937 random(20);
    std::vector<double> delays;
    const double cpuBefore = CpuSeconds();
    for (int change = 0; change < kChanges; ++change) {
        const std::size_t tree = static_cast<std::size_t>(change % 2);
        const std::string folder = FolderOf(tops[tree], static_cast<int>(random() % static_cast<unsigned>(folders)));
        delays.push_back(SecondsOf([&] {
            MakeEmptyFile(folder + "changed_" + std::to_string(change));
            for (bool told = false; !told;) {
                if (watch.WaitForChange(std::chrono::seconds(10)) != platform::WaitResult::News) {
                    throw std::runtime_error("the watch did not tell of a change in " + folder);
                }
                const auto changed = watch.TakeNews().trees[tree].changed;
                told = std::find(changed.begin(), changed.end(), folder) != changed.end();
            }
        }));
    }
    const double cpu = CpuSeconds() - cpuBefore;
    std::sort(delays.begin(), delays.end());
    std::printf("  a new file told after              median %.3f ms, 99th percentile %.3f ms (%d changes); "
                "cpu %.1f us a change, writing it included\n",
                Median(delays) * 1e3, delays[delays.size() * 99 / 100] * 1e3, kChanges, cpu * 1e6 / kChanges);
}

double Percentile99(const std::vector<double>& sorted) {
    return sorted[sorted.size() * 99 / 100];
}

// The processor time of each watched pass after each change, and the delay from the change to its copy in place,
// both sorted.
struct WatchedTimes {
    std::vector<double> cpus;
    std::vector<double> delays;
};

template <class Change, class Run>
WatchedTimes TimeWatched(int changes, const Change& change, const Run& run, WatchSchedule& schedule) {
    WatchedTimes times;
    for (int each = 0; each < changes; ++each) {
        change(each);
        const auto changed = std::chrono::steady_clock::now();
        for (bool copied = false; !copied;) {
            schedule.WaitAndTake(schedule.DueAt());
            if (schedule.PassDue()) {
                const double cpuBefore = CpuSeconds();
                copied = run(false).filesCopied > 0;
                times.cpus.push_back(CpuSeconds() - cpuBefore);
            }
        }
        times.delays.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - changed).count());
    }
    std::sort(times.cpus.begin(), times.cpus.end());
    std::sort(times.delays.begin(), times.delays.end());
    return times;
}

// A full pass as every pass ran before the watch, then watched passes each after one saved file, started by the
// quiet rule as the command line's --watch starts them.
void MeasurePasses(const std::vector<std::string>& tops, int files, int folders, int saves) {
    const SyncJob job{tops[0] + "/", tops[1] + "/", SyncOptions{.keepReplaced = false}};
    const FixedDirection settings(SyncDirection::BothWays);
    SyncObserver quiet;
    double cpuBefore = CpuSeconds();
    const double fullWall = SecondsOf([&] { SyncFolders(job, settings, quiet); });
    const double fullCpu = CpuSeconds() - cpuBefore;
    std::printf("  a full pass, no change             %.3f s, cpu %.3f s\n", fullWall, fullCpu);

    const double residentBefore = ResidentBytes();
    WatchSchedule schedule(job, std::chrono::steady_clock::now);
    WatchedPasses passes;
    const auto run = [&](bool full) {
        const WatchedPasses::Changes changes = schedule.PassStarting(full);
        const SyncCounts counts = passes.Run(job, settings, quiet, changes);
        schedule.PassEnded(passes);
        return counts;
    };
    cpuBefore = CpuSeconds();
    const double firstWall = SecondsOf([&] { run(true); });
    std::printf("  the first watched pass (full)      %.3f s, cpu %.3f s\n", firstWall, CpuSeconds() - cpuBefore);
    const double held = ResidentBytes() - residentBefore;
    std::printf("  memory kept between passes         %.1f MB, %.1f bytes per listed file (the watch's included)\n",
                held / 1e6, held / (2.0 * files));

    std::mt19937 random(21);
    const auto saved = TimeWatched(
        saves,
        [&](int save) {
            const int folder = static_cast<int>(random() % static_cast<unsigned>(folders));
            const std::string path = FileOf(tops[0], folder, static_cast<int>(random() % kFilesPerFolder));
            bench::MakeFile(path, 1, bench::kNewSeconds + save);
        },
        run, schedule);
    std::printf("  a watched pass after a save        cpu median %.2f ms, 99th percentile %.2f ms (%zu passes)\n",
                Median(saved.cpus) * 1e3, Percentile99(saved.cpus) * 1e3, saved.cpus.size());
    std::printf("  from a save to its copy in place   median %.3f s, 99th percentile %.3f s (%d saves)\n",
                Median(saved.delays), Percentile99(saved.delays), saves);
    // A new file changes its folder's number of files, and its copy that of the other top folder's.
    const auto added = TimeWatched(
        std::max(saves / 5, 1),
        [&](int add) {
            const int folder = static_cast<int>(random() % static_cast<unsigned>(folders));
            bench::MakeFile(FolderOf(tops[0], folder) + "added_" + std::to_string(add) + ".dat", 1, bench::kNewSeconds);
        },
        run, schedule);
    std::printf("  a watched pass after a new file    cpu median %.2f ms, 99th percentile %.2f ms (%zu passes)\n",
                Median(added.cpus) * 1e3, Percentile99(added.cpus) * 1e3, added.cpus.size());
}

void Measure(const std::string& root, int files, int idleSeconds, int saves) {
    const std::vector<std::string> tops{root + "/one-" + std::to_string(files), root + "/two-" + std::to_string(files)};
    int folders = 0;
    const double made = SecondsOf([&] {
        for (const std::string& top : tops) {
            folders = MakeTree(top, files);
        }
    });
    const long watchesBefore = CountWatches();
    const double residentBefore = ResidentBytes();
    const double cpuBefore = CpuSeconds();
    std::unique_ptr<platform::FolderWatch> watch;
    const double setUp = SecondsOf([&] {
        watch = std::make_unique<platform::FolderWatch>(std::vector<std::string>{tops[0] + "/", tops[1] + "/"});
    });
    const double setUpCpu = CpuSeconds() - cpuBefore;
    const double held = ResidentBytes() - residentBefore;
    const long watches = CountWatches() - watchesBefore;
    const auto doubts = watch->TakeNews();
    for (const auto& tree : doubts.trees) {
        if (tree.doubt) {
            std::printf("  the watch is not trusted: %s\n", tree.doubt->words.c_str());
        }
    }
    const long kernelBytes = KernelObjectBytes("inotify_inode_mark") + KernelObjectBytes("fsnotify_mark_connector");
    const int allFolders = folders + (folders + 99) / 100 + 1; // those of files, the "a" folders, the top
    std::printf("%d files per side, %d folders per side (trees made in %.0f s)\n", files, allFolders, made);
    std::printf("  setting the watches up             %.3f s, cpu %.3f s; %ld watches (both trees and the folders "
                "above them)\n",
                setUp, setUpCpu, watches);
    std::printf("  memory held                        %.1f MB of the program's own (%.1f bytes per file, %.0f per "
                "watch); the kernel's marks %ld bytes per watch, %.1f MB\n",
                held / 1e6, held / (2.0 * files), held / static_cast<double>(watches), kernelBytes,
                static_cast<double>(kernelBytes * watches) / 1e6);

    const double idleCpuBefore = CpuSeconds();
    const auto result = watch->WaitForChange(std::chrono::seconds(idleSeconds));
    const double idleCpu = CpuSeconds() - idleCpuBefore;
    std::printf("  idle for %-4d s                    cpu %.6f s: %.4f%% of a core; %s\n", idleSeconds, idleCpu,
                idleCpu * 100 / idleSeconds,
                result == platform::WaitResult::TimedOut ? "nothing told" : "news came (something changed)");
    MeasureChanges(*watch, tops, folders);
    std::fflush(stdout);
    watch.reset();
    if (saves > 0) {
        MeasurePasses(tops, files, folders, saves);
        std::fflush(stdout);
    }
    for (const std::string& top : tops) {
        std::filesystem::remove_all(top);
    }
}

} // namespace

int main(int argc, char** argv) {
    int idleSeconds = 60;
    int saves = 100;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--idle") == 0 && i + 1 < argc) {
            idleSeconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--saves") == 0 && i + 1 < argc) {
            saves = std::atoi(argv[++i]);
        } else {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
    if (sizes.empty()) {
        sizes = {100'000, 1'000'000};
    }
    std::string root = (std::filesystem::temp_directory_path() / "quillmere-watch-bench-XXXXXX").string();
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("trees under %s; %ld processors\n", root.c_str(), ::sysconf(_SC_NPROCESSORS_ONLN));
    int status = 0;
    try {
        for (const int files : sizes) {
            Measure(root, files, idleSeconds, saves);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-watch-bench: %s\n", e.what());
        status = 1;
    }
    std::filesystem::remove_all(root);
    return status;
}
