// SPDX-License-Identifier: GPL-3.0-or-later
// Times passes that copy against the system's cp doing the same copies and then sync, which is what a pass must
// match to be crash-safe: many small files added to an empty folder, the same files replacing older ones with the
// Trash on, one large file, and one large sparse file (2 GiB holding 1 MiB, a disk image's shape), whose copies
// must take no more disk than the source.
//
//   quillmere-copy-bench [FOLDER [SMALL_FILES]]   (default: the system's temporary folder, 10000 files of 1 KiB)
//
// Before each timed run (untimed) the destination is emptied or its files get their old time back, the trash is
// emptied, and everything is synced, so that each run starts with nothing dirty. The pass and cp run in turns,
// so that a slow spell of the machine weighs on both alike; each figure is the median of the runs.
#include "bench/BenchSupport.h"
#include "engine/modSync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmere;
using bench::kLargeBytes;
using bench::kNewSeconds;
using bench::kOldSeconds;
using bench::Median;
using bench::SecondsOf;

constexpr int kRuns = 5;
constexpr std::size_t kSmallBytes = 1024;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// One case: how to make a run start afresh, the pass, and the cp command that does its work.
struct Case {
    std::string what;
    std::function<void()> reset;
    std::function<void()> pass;
    std::string cp;
};

void Measure(const Case& c) {
    std::vector<double> pass;
    std::vector<double> cp;
    for (int run = 0; run < kRuns; ++run) {
        c.reset();
        ::sync();
        pass.push_back(SecondsOf(c.pass));
        c.reset();
        ::sync();
        cp.push_back(SecondsOf([&] { bench::Run(c.cp + " && sync"); }));
    }
    const std::string yardstick = c.cp.substr(0, c.cp.find(" '")) + " + sync";
    std::printf("%s\n  %-34s %8.3f s\n  %-34s %8.3f s\n  %-34s %8.2f\n", c.what.c_str(), "pass", Median(pass),
                yardstick.c_str(), Median(cp), "ratio", Median(pass) / Median(cp));
}

void ExpectCopied(const SyncCounts& counts, std::int64_t files, std::int64_t kept) {
    if (counts.filesCopied != files || counts.filesKept != kept) {
        throw std::runtime_error("the pass did not make every copy: " + std::to_string(counts.filesCopied) + " of " +
                                 std::to_string(files));
    }
}

void Pass(const std::string& one, const std::string& two, bool keep, std::int64_t files) {
    SyncObserver quiet;
    ExpectCopied(
        bench::PassBetween(one, two, SyncDirection::Folder1ToFolder2, quiet, SyncOptions{.keepReplaced = keep}), files,
        keep ? files : 0);
}

void EmptyFolder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

void MeasureSmallFiles(const std::string& root, int files) {
    const std::string one = root + "/one/";
    const std::string two = root + "/two/";
    const std::string trash = root + "/data/Trash";
    std::filesystem::create_directories(one);
    std::vector<std::string> names;
    for (int i = 0; i < files; ++i) {
        names.push_back("file-" + std::to_string(i));
        bench::MakeFile(one + names.back(), kSmallBytes, kNewSeconds);
    }
    const std::string count = std::to_string(files);
    const std::string cp = "cp -a " + Quoted(one) + ". " + Quoted(two);
    Measure({count + " small files (1 KiB) into an empty folder", [&] { EmptyFolder(two); },
             [&] { Pass(one, two, false, files); }, cp});
    const auto oldFiles = [&] {
        std::filesystem::remove_all(trash);
        for (const std::string& name : names) {
            bench::SetTime(two + name, kOldSeconds);
        }
    };
    Measure({count + " small files replacing older ones, the Trash on", oldFiles, [&] { Pass(one, two, true, files); },
             cp});
    std::filesystem::remove_all(one);
    std::filesystem::remove_all(two);
    std::filesystem::remove_all(trash);
}

void MeasureLargeFile(const std::string& root) {
    if (!bench::HasRoomForThree(root, kLargeBytes)) {
        std::printf("one 1 GiB file: left out, no room for three of it on this file system\n");
        return;
    }
    const std::string one = root + "/one/";
    const std::string two = root + "/two/";
    std::filesystem::create_directories(one);
    bench::MakeFile(one + "large", kLargeBytes, kNewSeconds);
    Measure({"one 1 GiB file into an empty folder", [&] { EmptyFolder(two); }, [&] { Pass(one, two, false, 1); },
             "cp --preserve=timestamps " + Quoted(one + "large") + " " + Quoted(two + "large")});
    std::filesystem::remove_all(one);
    std::filesystem::remove_all(two);
}

// 1 MiB of data half-way into 2 GiB of holes; the file takes 1 MiB of disk.
void MakeSparseFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const std::string data(std::size_t{1} << 20, 'x');
    const bool made = fd >= 0 && ::pwrite(fd, data.data(), data.size(), off_t{1} << 30) == ssize_t{1} << 20 &&
                      ::ftruncate(fd, off_t{2} << 30) == 0;
    if (fd < 0 || ::close(fd) != 0 || !made) {
        throw std::runtime_error("cannot make the sparse file " + path);
    }
    bench::SetTime(path, kNewSeconds);
}

double DiskMiB(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<double>(info.st_blocks) * 512 / (1 << 20) : -1;
}

void MeasureSparseFile(const std::string& root) {
    const std::string one = root + "/one/";
    const std::string two = root + "/two/";
    std::filesystem::create_directories(one);
    MakeSparseFile(one + "sparse.img");
    Measure({"one 2 GiB sparse file holding 1 MiB into an empty folder", [&] { EmptyFolder(two); },
             [&] { Pass(one, two, false, 1); }, "cp -a " + Quoted(one + "sparse.img") + " " + Quoted(two)});
    EmptyFolder(two);
    Pass(one, two, false, 1);
    std::printf("  %-34s %8.1f MiB (the source: %.1f MiB)\n", "disk the pass's copy takes", DiskMiB(two + "sparse.img"),
                DiskMiB(one + "sparse.img"));
    std::filesystem::remove_all(one);
    std::filesystem::remove_all(two);
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known, even into a file
    const std::string parent = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const int smallFiles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10'000;
    std::string root = parent + "/quillmere-copy-bench-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    // The home trash on the same file system as the trees, as a USB stick's own trash would be.
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    int status = 0;
    try {
        std::printf("trees in %s; median of %d runs, the pass and cp in turns, each followed by sync\n", root.c_str(),
                    kRuns);
        MeasureSmallFiles(root, smallFiles);
        MeasureLargeFile(root);
        MeasureSparseFile(root);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmere-copy-bench: %s\n", e.what());
        status = 1;
    }
    std::filesystem::remove_all(root);
    return status;
}
