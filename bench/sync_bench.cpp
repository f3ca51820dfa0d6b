// SPDX-License-Identifier: GPL-3.0-or-later
// Times a no-change sync pass over two generated trees against the floor of listing them and reading one time per
// file (find -printf '%T@'), against rsync and unison doing the same work, and a side of 2,000 same-named files
// against one of 2,000 distinct names. Each pass runs in a child process, so that its peak memory is its own.
//
//   quillmere-sync-bench [FILES_PER_SIDE...]   (default 10000 100000; 500000 and 1000000 on request)
//
// Trees: 64-byte files, 100 a folder, every name on both sides at the same time, so the pass has nothing to copy.
// Every figure is the median of several runs taken in turns, so that a slow spell of the machine hits all alike.
#include "bench/BenchSupport.h"
#include "engine/modSync.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
using bench::Median;
using bench::Run;
using bench::SecondsOf;

constexpr int kRuns = 5;
constexpr int kFilesPerFolder = 100;
constexpr int kGroupSize = 2'000;
constexpr std::int64_t kSeconds = 1'700'000'000;

void MakeFile(const std::string& path) {
    static const std::string content(64, 'x');
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    const timespec times[2] = {{kSeconds, 0}, {kSeconds, 0}};
    if (!written || ::futimens(fd, times) != 0 || ::close(fd) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

// The same tree under each top folder: file i lies in folder i / filesPerFolder, named by name(i).
void GenerateTrees(const std::vector<std::string>& tops, int files, int filesPerFolder,
                   const std::function<std::string(int)>& name) {
    for (int i = 0; i < files; ++i) {
        const int folder = i / filesPerFolder;
        const std::string relative = "/a" + std::to_string(folder / 100) + "/b" + std::to_string(folder % 100) + "/";
        for (const std::string& top : tops) {
            if (i % filesPerFolder == 0) {
                std::filesystem::create_directories(top + relative);
            }
            MakeFile(top + relative + name(i));
        }
    }
}

double SecondsOf(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// User and system time of the children waited for so far (find, and the shell that starts it).
double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return SecondsOf(usage.ru_utime) + SecondsOf(usage.ru_stime);
}

struct PassRun {
    double seconds = 0;
    long long filesListed = 0;
    long long filesCopied = 0;
    double peakBytes = 0;  // the child's maximum resident set
    double cpuSeconds = 0; // the child's user and system time: what the machine's load does not stretch
};

// One pass in a child process: its time and counts come back through a pipe, its peak memory from wait4.
PassRun PassInChild(const std::string& one, const std::string& two) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("no pipe");
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        SyncObserver quiet;
        SyncCounts counts;
        PassRun run;
        run.seconds = SecondsOf([&] { counts = bench::PassBetween(one, two, SyncDirection::BothWays, quiet); });
        run.filesListed = counts.filesListed;
        run.filesCopied = counts.filesCopied;
        const bool sent = ::write(pipeFds[1], &run, sizeof run) == static_cast<ssize_t>(sizeof run);
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    PassRun run;
    const bool received = ::read(pipeFds[0], &run, sizeof run) == static_cast<ssize_t>(sizeof run);
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !received || status != 0) {
        throw std::runtime_error("the pass failed");
    }
    run.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024;
    run.cpuSeconds = SecondsOf(usage.ru_utime) + SecondsOf(usage.ru_stime);
    return run;
}

struct Figures {
    std::vector<double> find, pass, rsync, unison, peakBytes, findCpu, passCpu;
    PassRun last;
};

void Measure(const std::string& root, int files) {
    const std::string one = root + "/one-" + std::to_string(files);
    const std::string two = root + "/two-" + std::to_string(files);
    const double made = SecondsOf([&] {
        GenerateTrees({one, two}, files, kFilesPerFolder, [](int i) { return "file_" + std::to_string(i) + ".dat"; });
    });
    const std::string find = "find '" + one + "' '" + two + "' -printf '%T@\\n' >/dev/null";
    const std::string rsync =
        "rsync -a --dry-run '" + one + "/' '" + two + "/' && rsync -a --dry-run '" + two + "/' '" + one + "/'";
    const std::string unison =
        "UNISON='" + root + "/unison' unison '" + one + "' '" + two + "' -batch -times -silent >/dev/null 2>&1";
    Run(find);   // the same warm caches for everything timed below
    Run(unison); // unison's first run records both trees; the runs timed find them unchanged
    Figures figures;
    for (int run = 0; run < kRuns; ++run) {
        const double childCpu = ChildrenCpuSeconds();
        figures.find.push_back(SecondsOf([&] { Run(find); }));
        figures.findCpu.push_back(ChildrenCpuSeconds() - childCpu);
        figures.last = PassInChild(one, two);
        figures.pass.push_back(figures.last.seconds);
        figures.passCpu.push_back(figures.last.cpuSeconds);
        figures.peakBytes.push_back(figures.last.peakBytes);
        figures.rsync.push_back(SecondsOf([&] { Run(rsync + " >/dev/null"); }));
        figures.unison.push_back(SecondsOf([&] { Run(unison); }));
    }
    const double pass = Median(figures.pass);
    const double listed = static_cast<double>(figures.last.filesListed);
    std::printf("%d files per side (trees made in %.0f s): %lld listed, %lld copied\n", files, made,
                figures.last.filesListed, figures.last.filesCopied);
    std::printf("  find -printf '%%T@' (the floor)   %8.3f s   cpu %.3f s\n", Median(figures.find),
                Median(figures.findCpu));
    std::printf("  no-change pass                   %8.3f s   cpu %.3f s;  pass / find %.2f;  per listed file %.2f us, "
                "cpu %.2f us\n",
                pass, Median(figures.passCpu), pass / Median(figures.find), pass * 1e6 / listed,
                Median(figures.passCpu) * 1e6 / listed);
    std::printf("  peak memory of the pass          %8.1f MB  %.0f bytes per listed file\n",
                Median(figures.peakBytes) / 1e6, Median(figures.peakBytes) / listed);
    std::printf("  rsync -a --dry-run, both ways    %8.3f s   %.2f x the pass\n", Median(figures.rsync),
                Median(figures.rsync) / pass);
    std::printf("  unison -batch -times, no change  %8.3f s   %.2f x the pass\n", Median(figures.unison),
                Median(figures.unison) / pass);
    std::fflush(stdout);
    std::filesystem::remove_all(one);
    std::filesystem::remove_all(two);
}

// 2,000 files of one name on each side, each in a folder of its own, against the same trees with distinct names.
void MeasureSameNamedGroup(const std::string& root) {
    const auto tops = [&](const char* kind) {
        return std::vector<std::string>{root + "/" + kind + "-one", root + "/" + kind + "-two"};
    };
    GenerateTrees(tops("same"), kGroupSize, 1, [](int) { return std::string("README.md"); });
    GenerateTrees(tops("distinct"), kGroupSize, 1, [](int i) { return "README-" + std::to_string(i) + ".md"; });
    std::vector<double> same;
    std::vector<double> distinct;
    for (int run = 0; run < kRuns; ++run) {
        same.push_back(PassInChild(tops("same")[0], tops("same")[1]).seconds);
        distinct.push_back(PassInChild(tops("distinct")[0], tops("distinct")[1]).seconds);
    }
    std::printf("%d same-named files per side (%d pairs)  %8.3f s\n", kGroupSize, kGroupSize * kGroupSize,
                Median(same));
    std::printf("%d distinct names per side                %8.3f s   same / distinct %.2f\n", kGroupSize,
                Median(distinct), Median(same) / Median(distinct));
}

void PrintLoad(const char* when) {
    double load[3] = {};
    if (::getloadavg(load, 3) == 3) {
        std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
    }
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
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("trees under %s; medians of %d runs; %ld processors\n", root.c_str(), kRuns,
                ::sysconf(_SC_NPROCESSORS_ONLN));
    PrintLoad("before");
    int status = 0;
    try {
        for (int files : sizes) {
            Measure(root, files);
        }
        MeasureSameNamedGroup(root);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-sync-bench: %s\n", e.what());
        status = 1;
    }
    PrintLoad("after");
    std::filesystem::remove_all(root);
    return status;
}
