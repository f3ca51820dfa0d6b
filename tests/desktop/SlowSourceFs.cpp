// SPDX-License-Identifier: GPL-3.0-or-later
// A file system of one large file whose every read takes a fifth of a second: a copy of it cannot finish in
// the time a check waits, whatever the copy does, so a check can close the program while the copy is in flight.
// Usage: quillmere-slow-source-fs MOUNT_POINT -f (and the other options of a FUSE program)
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr const char* kFileName = "/slow.bin";
constexpr off_t kFileSize = off_t{1} << 30;
constexpr time_t kFileTime = 1'700'000'000;

int GetAttr(const char* path, struct stat* info, fuse_file_info* /*file*/) {
    std::memset(info, 0, sizeof *info);
    if (std::strcmp(path, "/") == 0) {
        info->st_mode = S_IFDIR | 0755;
        info->st_nlink = 2;
        return 0;
    }
    if (std::strcmp(path, kFileName) != 0) {
        return -ENOENT;
    }
    info->st_mode = S_IFREG | 0644;
    info->st_nlink = 1;
    info->st_size = kFileSize;
    info->st_mtime = info->st_ctime = kFileTime;
    return 0;
}

int ReadFolder(const char* path, void* entries, fuse_fill_dir_t fill, off_t /*offset*/, fuse_file_info* /*file*/,
               fuse_readdir_flags /*flags*/) {
    if (std::strcmp(path, "/") != 0) {
        return -ENOENT;
    }
    for (const char* name : {".", "..", kFileName + 1}) {
        fill(entries, name, nullptr, 0, fuse_fill_dir_flags{});
    }
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    if (std::strcmp(path, kFileName) != 0) {
        return -ENOENT;
    }
    return (file->flags & O_ACCMODE) == O_RDONLY ? 0 : -EACCES;
}

int Read(const char* /*path*/, char* buffer, std::size_t size, off_t offset, fuse_file_info* /*file*/) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (offset >= kFileSize) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(size, static_cast<std::size_t>(kFileSize - offset));
    std::memset(buffer, 'q', length);
    return static_cast<int>(length);
}

} // namespace

int main(int argc, char* argv[]) {
    fuse_operations operations{};
    operations.getattr = GetAttr;
    operations.readdir = ReadFolder;
    operations.open = Open;
    operations.read = Read;
    return fuse_main(argc, argv, &operations, nullptr);
}
