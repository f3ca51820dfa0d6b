// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/FatMount.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace quillmere::test {

std::optional<std::string> FindProgram(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(std::string(path != nullptr ? path : "") + ":/usr/sbin:/sbin:/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + program;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    const auto executable = FindProgram(program);
    if (!executable) {
        return -1;
    }
    std::vector<char*> argv{const_cast<char*>(executable->c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // The tools' chatter would only clutter the test log.
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::optional<std::string> FatMount::SkipReason() {
    if (::geteuid() != 0) {
        return "a FUSE mount of a FAT image needs root";
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        return "FUSE is not available (/dev/fuse missing)";
    }
    for (const char* program : {"fusefat", "mkfs.vfat"}) {
        if (!FindProgram(program)) {
            return std::string(program) + " is not installed (apt-get install fusefat dosfstools)";
        }
    }
    return std::nullopt;
}

FatMount::FatMount() : mountPoint_(work_ / "fat") {
    const std::string image = work_ / "fat.img";
    MakeFolder(mountPoint_);
    if (RunProgram("mkfs.vfat", {"-C", image, "16384"}) != 0) {
        failure_ = "mkfs.vfat could not make a FAT image";
        return;
    }
    // fusefat goes into the background once the mount is in place.
    if (RunProgram("fusefat", {"-o", "rw+", image, mountPoint_}) != 0) {
        failure_ = "fusefat could not mount the FAT image";
        return;
    }
    mounted_ = true;
}

FatMount::~FatMount() {
    if (mounted_ && RunProgram("umount", {mountPoint_}) != 0) {
        RunProgram("fusermount", {"-u", "-z", mountPoint_});
    }
}

} // namespace quillmere::test
