// SPDX-License-Identifier: GPL-3.0-or-later
// Real folders of every kind users sync with, each mounted for one test and unmounted (its daemons stopped) when
// the test ends, failed or not. Needs root; SkipReason() says what is missing.
//
//   MountedFolder folder(kind);
//   if (!folder.Mounted()) GTEST_SKIP() << folder.Failure(); // what is missing, or what failed
//   ... folder.Path() ...
#pragma once

#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillmere::test {

enum class FolderKind {
    Ext4,             // a loop-mounted image
    Ext4WholeSeconds, // made with 128-byte inodes, which keep whole seconds as ext2 and ext3 do
    Tmpfs,            // keeps ACLs, extended attributes and holes
    Ramfs,            // keeps permissions, but neither ACLs nor extended attributes; no kind users sync with
    Fat,              // fusefat
    Ntfs,             // ntfs-3g on an image file; its mount type reads plain "fuse"
    Sshfs,            // to an sshd of the test's own on 127.0.0.1
    Rclone,           // rclone mount of a local folder, as cloud drives are mounted
    Bindfs,           // every file shown as another user's, as on a share mounted for someone else
    BindMount,        // a bind mount on the drive of the home trash, which no link or move crosses
};

inline constexpr FolderKind kEveryFolderKind[] = {
    FolderKind::Ext4,  FolderKind::Ext4WholeSeconds, FolderKind::Tmpfs,  FolderKind::Fat,      FolderKind::Ntfs,
    FolderKind::Sshfs, FolderKind::Rclone,           FolderKind::Bindfs, FolderKind::BindMount};

// The kinds users sync with. "ext4", "ntfs"...: for test names and messages.
const char* NameOf(FolderKind kind);

class MountedFolder {
public:
    // The folder's files live in the test's own temporary folder (images, the sshd's keys and the served folder).
    explicit MountedFolder(FolderKind kind);
    ~MountedFolder();
    MountedFolder(const MountedFolder&) = delete;
    MountedFolder& operator=(const MountedFolder&) = delete;

    // What the kind needs that is missing here, if anything; the constructor then mounts nothing.
    static std::optional<std::string> SkipReason(FolderKind kind);

    bool Mounted() const { return mounted_; }
    const std::string& Failure() const { return failure_; }
    // The mounted folder, without a trailing "/".
    const std::string& Path() const { return mountPoint_; }

private:
    bool Mount(FolderKind kind);
    bool MountImage(const std::vector<std::string>& make);
    bool MountSshfs();
    bool MountRclone();
    bool Fail(std::string why);

    TempDir work_;
    std::string mountPoint_;
    std::unique_ptr<FatMount> fat_;
    std::optional<int> sshd_; // its process
    bool madeSshdFolder_ = false;
    bool mounted_ = false;
    std::string failure_;
};

// Runs check in a fresh folder on each file system that keeps holes, ACLs and extended attributes: the temporary
// folder's own, and a tmpfs (when it can be mounted; otherwise says so on standard output).
void OnTemporaryFolderAndTmpfs(const std::function<void(const std::string& where, const std::string& folder)>& check);

} // namespace quillmere::test
