// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/MountedFolder.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace quillmere::test {

namespace {

struct KindNeeds {
    FolderKind kind;
    const char* name;
    std::vector<const char*> programs;
    const char* packages;
};

const std::vector<KindNeeds>& Needs() {
    static const std::vector<KindNeeds> needs{
        {FolderKind::Ext4, "ext4", {"mkfs.ext4"}, "e2fsprogs"},
        {FolderKind::Ext4WholeSeconds, "ext4-128-byte-inodes", {"mkfs.ext4"}, "e2fsprogs"},
        {FolderKind::Tmpfs, "tmpfs", {}, ""},
        {FolderKind::Ramfs, "ramfs", {}, ""},
        {FolderKind::Fat, "fat", {"fusefat", "mkfs.vfat"}, "fusefat dosfstools"},
        {FolderKind::Ntfs, "ntfs", {"ntfs-3g", "mkntfs"}, "ntfs-3g"},
        {FolderKind::Sshfs, "sshfs", {"sshfs", "sshd", "ssh-keygen"}, "sshfs openssh-server"},
        {FolderKind::Rclone, "rclone", {"rclone", "fusermount"}, "rclone fuse"},
        {FolderKind::Bindfs, "bindfs", {"bindfs"}, "bindfs"},
        {FolderKind::BindMount, "bind-mount", {}, ""},
    };
    return needs;
}

const KindNeeds& NeedsOf(FolderKind kind) {
    for (const KindNeeds& needs : Needs()) {
        if (needs.kind == kind) {
            return needs;
        }
    }
    return Needs().front();
}

bool IsFuse(FolderKind kind) {
    return kind == FolderKind::Fat || kind == FolderKind::Ntfs || kind == FolderKind::Sshfs ||
           kind == FolderKind::Rclone || kind == FolderKind::Bindfs;
}

// A port nobody listens on now; the sshd takes it a moment later.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

bool WaitForMount(const std::string& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (RunProgram("mountpoint", {"-q", folder}) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::optional<int> ReadPid(const std::string& file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ifstream text(file);
        int pid = 0;
        if (text >> pid && pid > 0) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

} // namespace

const char* NameOf(FolderKind kind) {
    return NeedsOf(kind).name;
}

std::optional<std::string> MountedFolder::SkipReason(FolderKind kind) {
    if (::geteuid() != 0) {
        return std::string("mounting a ") + NameOf(kind) + " folder needs root";
    }
    if (IsFuse(kind) && ::access("/dev/fuse", R_OK | W_OK) != 0) {
        return "FUSE is not available (/dev/fuse missing)";
    }
    for (const char* program : NeedsOf(kind).programs) {
        if (!FindProgram(program)) {
            return std::string(program) + " is not installed (apt-get install " + NeedsOf(kind).packages + ")";
        }
    }
    return std::nullopt;
}

MountedFolder::MountedFolder(FolderKind kind) : mountPoint_(work_ / "mnt") {
    MakeFolder(mountPoint_);
    const std::optional<std::string> reason = SkipReason(kind);
    mounted_ = reason ? Fail(*reason) : Mount(kind);
}

MountedFolder::~MountedFolder() {
    if (fat_) {
        fat_.reset(); // unmounts its own
    } else if (mounted_ && RunProgram("umount", {mountPoint_}) != 0) {
        RunProgram("umount", {"-l", mountPoint_});
    }
    if (sshd_) {
        ::kill(*sshd_, SIGTERM);
    }
    if (madeSshdFolder_) {
        ::rmdir("/run/sshd");
    }
}

bool MountedFolder::Fail(std::string why) {
    failure_ = std::move(why);
    return false;
}

bool MountedFolder::Mount(FolderKind kind) {
    const std::string real = work_ / "real";
    switch (kind) {
    case FolderKind::Ext4:
        return MountImage({"mkfs.ext4", "-q", "-F"});
    case FolderKind::Ext4WholeSeconds:
        return MountImage({"mkfs.ext4", "-q", "-F", "-I", "128"});
    case FolderKind::Tmpfs:
    case FolderKind::Ramfs: {
        const std::string type = NameOf(kind);
        return RunProgram("mount", {"-t", type, "-o", "size=256m", type, mountPoint_}) == 0 ||
               Fail("cannot mount a " + type);
    }
    case FolderKind::Fat:
        fat_ = std::make_unique<FatMount>();
        mountPoint_ = fat_->Path();
        return fat_->Mounted() || Fail(fat_->Failure());
    case FolderKind::Ntfs: {
        const std::string image = work_ / "ntfs.img";
        std::ofstream(image).close();
        std::filesystem::resize_file(image, 64 << 20);
        return (RunProgram("mkntfs", {"-q", "-F", "-f", image}) == 0 &&
                RunProgram("ntfs-3g", {image, mountPoint_}) == 0) ||
               Fail("mkntfs or ntfs-3g failed on an image file");
    }
    case FolderKind::Sshfs:
        return MountSshfs();
    case FolderKind::Rclone:
        return MountRclone();
    case FolderKind::Bindfs:
        MakeFolder(real);
        return RunProgram("bindfs", {"-u", "nobody", "-g", "nogroup", real, mountPoint_}) == 0 ||
               Fail("bindfs could not mount");
    case FolderKind::BindMount:
        MakeFolder(real);
        return RunProgram("mount", {"--bind", real, mountPoint_}) == 0 || Fail("cannot bind-mount a folder");
    }
    return Fail("unknown kind");
}

bool MountedFolder::MountImage(const std::vector<std::string>& make) {
    const std::string image = work_ / "disk.img";
    std::ofstream(image).close();
    std::filesystem::resize_file(image, 32 << 20);
    std::vector<std::string> arguments(make.begin() + 1, make.end());
    arguments.push_back(image);
    if (RunProgram(make.front(), arguments) != 0) {
        return Fail(make.front() + " could not make an image");
    }
    return RunProgram("mount", {"-o", "loop", image, mountPoint_}) == 0 ||
           Fail("cannot loop-mount an image (no loop devices?)");
}

// The sshd serves this test alone: its own host and user keys and configuration, on a free port of 127.0.0.1.
bool MountedFolder::MountSshfs() {
    const std::string keys = work_ / "ssh";
    const std::string served = work_ / "served";
    MakeFolder(keys);
    MakeFolder(served);
    if (RunProgram("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", keys + "/host"}) != 0 ||
        RunProgram("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", keys + "/user"}) != 0) {
        return Fail("ssh-keygen could not make keys");
    }
    std::filesystem::copy_file(keys + "/user.pub", keys + "/authorized_keys");
    const int port = FreePort();
    std::ofstream(keys + "/sshd_config") << "ListenAddress 127.0.0.1\nHostKey " << keys << "/host\n"
                                         << "AuthorizedKeysFile " << keys << "/authorized_keys\n"
                                         << "PidFile " << keys << "/sshd.pid\n"
                                         << "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                                         << "PermitRootLogin prohibit-password\nUsePAM no\nStrictModes no\n"
                                         << "Subsystem sftp internal-sftp\n";
    // sshd insists on its privilege separation folder, which only a running system sshd would have made.
    madeSshdFolder_ = ::mkdir("/run/sshd", 0755) == 0;
    if (RunProgram("sshd", {"-f", keys + "/sshd_config", "-p", std::to_string(port)}) != 0) {
        return Fail("sshd did not start");
    }
    sshd_ = ReadPid(keys + "/sshd.pid");
    const std::string options = "port=" + std::to_string(port) + ",IdentityFile=" + keys +
                                "/user,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,BatchMode=yes";
    return RunProgram("sshfs", {"-o", options, "root@127.0.0.1:" + served, mountPoint_}) == 0 ||
           Fail("sshfs could not mount from the test's sshd");
}

bool MountedFolder::MountRclone() {
    const std::string served = work_ / "served";
    MakeFolder(served);
    if (RunProgram("rclone", {"mount", "--config", "/dev/null", "--cache-dir", work_ / "cache", "--vfs-cache-mode",
                              "writes", "--daemon", served, mountPoint_}) != 0) {
        return Fail("rclone mount failed");
    }
    return WaitForMount(mountPoint_) || Fail("rclone mount did not appear");
}

void OnTemporaryFolderAndTmpfs(const std::function<void(const std::string& where, const std::string& folder)>& check) {
    {
        const TempDir local;
        check("the temporary folder", local.Path());
    }
    const MountedFolder tmpfs(FolderKind::Tmpfs);
    if (!tmpfs.Mounted()) {
        std::cout << "tmpfs left out: " << tmpfs.Failure() << "\n";
        return;
    }
    check("tmpfs", tmpfs.Path());
}

} // namespace quillmere::test
