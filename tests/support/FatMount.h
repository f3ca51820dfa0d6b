// SPDX-License-Identifier: GPL-3.0-or-later
// A real FAT folder for a test: a 16 MiB image made with mkfs.vfat and mounted through FUSE with fusefat (this
// kernel has no vfat module). Needs root, /dev/fuse, fusefat and mkfs.vfat; SkipReason() says what is missing.
//
//   if (auto reason = FatMount::SkipReason()) GTEST_SKIP() << *reason;
//   FatMount fat;
//   if (!fat.Mounted()) GTEST_SKIP() << fat.Failure();
//   ... fat.Path() ...
#pragma once

#include "tests/support/TempDir.h"

#include <optional>
#include <string>
#include <vector>

namespace quillmere::test {

class FatMount {
public:
    FatMount();
    ~FatMount(); // unmounts
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;

    static std::optional<std::string> SkipReason();

    bool Mounted() const { return mounted_; }
    const std::string& Failure() const { return failure_; }
    // The mounted folder, without a trailing "/".
    const std::string& Path() const { return mountPoint_; }

private:
    TempDir work_; // holds the image and the mount point, each test its own
    std::string mountPoint_;
    bool mounted_ = false;
    std::string failure_;
};

// Runs a program (looked up on PATH and in the sbin folders) and returns its exit code; -1 when it cannot run.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// The full path of an installed program, or no value.
std::optional<std::string> FindProgram(const std::string& program);

} // namespace quillmere::test
