// SPDX-License-Identifier: GPL-3.0-or-later
// Times what keeping replaced files in the Trash adds to a pass: the same one-way pass, replacing every file of
// Folder 2, with the Trash on and off in turn (off as --no-trash), for 1,000 small files and for one 1 GiB file.
// Before each run (untimed) the replaced files get their old time back and the trash is emptied, so every run
// replaces them all and keeps them into a trash of the same size.
//
//   quillmere-trash-bench [FOLDER [SMALL_FILES]]   (default: the system's temporary folder, 1000 files)
//
// The home trash ($XDG_DATA_HOME) is put in FOLDER too, so that everything happens on FOLDER's file system; the
// first lines say whether that file system gets the hard-link path or the move path. The large file is left out
// where there is no room for three of it (source, replaced file, copy).
#include "bench/BenchSupport.h"
#include "engine/modSync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmere;
using bench::kLargeBytes;
using bench::kNewSeconds;
using bench::kOldSeconds;
using bench::MakeFile;
using bench::Median;
using bench::SetTime;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;

// Folder 1 holds the newer files, Folder 2 the older ones of the same names.
struct Trees {
    std::string one;
    std::string two;
    std::string trash;
    std::vector<std::string> replaced;
};

Trees MakeTrees(const std::string& root, int files, std::size_t bytes) {
    Trees trees{root + "/one/", root + "/two/", root + "/data/Trash", {}};
    std::filesystem::create_directories(trees.one);
    std::filesystem::create_directories(trees.two);
    for (int i = 0; i < files; ++i) {
        const std::string name = "file-" + std::to_string(i);
        MakeFile(trees.one + name, bytes, kNewSeconds);
        MakeFile(trees.two + name, bytes, kOldSeconds);
        trees.replaced.push_back(trees.two + name);
    }
    return trees;
}

double TimePass(const Trees& trees, bool keep) {
    for (const std::string& file : trees.replaced) {
        SetTime(file, kOldSeconds);
    }
    std::filesystem::remove_all(trees.trash);
    ::sync();
    SyncObserver quiet;
    const auto start = Clock::now();
    const SyncCounts counts = bench::PassBetween(trees.one, trees.two, SyncDirection::Folder1ToFolder2, quiet,
                                                 SyncOptions{.keepReplaced = keep});
    const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const auto expected = static_cast<std::int64_t>(trees.replaced.size());
    if (counts.filesCopied != expected || counts.filesKept != (keep ? expected : 0)) {
        throw std::runtime_error("the pass did not replace (and keep) every file");
    }
    return milliseconds;
}

// The two modes in turn, so that a drift of the machine's speed weighs on both alike.
void Measure(const std::string& root, const std::string& what, int files, std::size_t bytes, int runs) {
    const Trees trees = MakeTrees(root, files, bytes);
    std::vector<double> outright;
    std::vector<double> kept;
    for (int run = 0; run < runs; ++run) {
        outright.push_back(TimePass(trees, false));
        kept.push_back(TimePass(trees, true));
    }
    const double off = Median(outright);
    const double on = Median(kept);
    std::printf("%s\n  replaced outright: %10.1f ms (min %.1f, max %.1f)\n"
                "  kept in the Trash: %10.1f ms (min %.1f, max %.1f)\n"
                "  extra: %+.1f ms, %+.3f ms per file; ratio %.2f\n",
                what.c_str(), off, *std::min_element(outright.begin(), outright.end()),
                *std::max_element(outright.begin(), outright.end()), on, *std::min_element(kept.begin(), kept.end()),
                *std::max_element(kept.begin(), kept.end()), on - off, (on - off) / files, on / off);
    std::filesystem::remove_all(root + "/one");
    std::filesystem::remove_all(root + "/two");
    std::filesystem::remove_all(trees.trash);
}

// Whether a file here can take a second name in the trash's folder: the keeping path the copy will take.
std::string KeepingPath(const std::string& root) {
    const std::string trashFiles = root + "/data/probe";
    std::filesystem::create_directories(trashFiles);
    MakeFile(root + "/probe", 1, kOldSeconds);
    const bool linked = ::link((root + "/probe").c_str(), (trashFiles + "/probe").c_str()) == 0;
    const std::string path = linked ? "hard link (the destination is never missing)"
                                    : std::string("move (hard links refused: ") + std::strerror(errno) + ")";
    std::filesystem::remove_all(root + "/data");
    std::filesystem::remove(root + "/probe");
    return path;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known, even into a file
    const std::string parent = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const int smallFiles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    std::string root = parent + "/quillmere-trash-bench-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    int status = 0;
    try {
        std::printf("trees in %s, home trash in %s/data/Trash; median of %d runs, Trash off and on in turn\n"
                    "keeping path here: %s\n",
                    root.c_str(), root.c_str(), kRuns, KeepingPath(root).c_str());
        Measure(root, std::to_string(smallFiles) + " small files (4 KiB) replaced", smallFiles, 4096, kRuns);
        if (bench::HasRoomForThree(root, kLargeBytes)) {
            Measure(root, "one 1 GiB file replaced", 1, kLargeBytes, 3);
        } else {
            std::printf("one 1 GiB file: left out, no room for three of it on this file system\n");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-trash-bench: %s\n", e.what());
        status = 1;
    }
    std::filesystem::remove_all(root);
    return status;
}
