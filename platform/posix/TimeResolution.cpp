// SPDX-License-Identifier: GPL-3.0-or-later
// The time resolution of the file system a folder lies on: the first guess from its name (the system calls; the
// rules are in TimeResolutionRules.cpp), and what a time set and read back showed.
#include "platform/FileSystem.h"
#include "platform/TimeStepLearning.h"
#include "platform/posix/FileSystemKey.h"
#include "platform/posix/MountTable.h"
#include "platform/posix/TemporarySibling.h"
#include "platform/posix/TimeResolutionRules.h"

#include <fcntl.h>

#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace quillmere::platform {

namespace {

std::string RealPathOf(const std::string& folder) {
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(folder.c_str(), nullptr), std::free);
    return real ? std::string(real.get()) : folder;
}

std::string ReadBootSector(const std::string& device) {
    // Only a device or an image: a pipe named in the mount table must not hang the pass.
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0 || !(S_ISBLK(info.st_mode) || S_ISREG(info.st_mode))) {
        return {};
    }
    std::ifstream file(device, std::ios::binary);
    std::string sector(512, '\0');
    file.read(sector.data(), static_cast<std::streamsize>(sector.size()));
    sector.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return sector;
}

// statfs says only "FUSE"; which driver serves the folder is in the mount table. A plain "fuseblk" names no
// driver, so the volume's boot sector tells (readable by root; anyone else gets exact comparison).
std::int64_t ResolutionOfFuseFolder(const std::string& folder) {
    const std::vector<posix::MountEntry> mounts = posix::ReadMountTable();
    const posix::MountEntry* mount = posix::HoldingMount(mounts, RealPathOf(folder));
    if (mount == nullptr) {
        return kExactResolution;
    }
    if (mount->type == "fuseblk") {
        return posix::ResolutionOfBootSector(ReadBootSector(mount->source)).value_or(kExactResolution);
    }
    return posix::ResolutionOfMountType(mount->type);
}

std::int64_t GuessedResolution(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) {
        return kExactResolution;
    }
    const auto resolution = posix::ResolutionOfMagic(static_cast<std::uint64_t>(info.f_type));
    return resolution ? *resolution : ResolutionOfFuseFolder(folder);
}

posix::UniqueFd OpenFolder(const std::string& folder) {
    return posix::UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

} // namespace

std::int64_t TimeResolution(const std::string& folder) {
    const posix::UniqueFd open = OpenFolder(folder);
    const std::int64_t learned = open.Valid() ? LearnedTimeStep(posix::FileSystemKeyOf(open.Get())) : kExactResolution;
    return std::max(GuessedResolution(folder), learned);
}

// The probe is one of the copy's own temporary files: locked while it lives and removed by the next pass should
// the process be killed meanwhile.
std::int64_t MeasureTimeResolution(const std::string& folder) {
    const posix::UniqueFd open = OpenFolder(folder);
    if (open.Valid()) {
        const posix::TemporarySibling probe(open.Get());
        const timespec times[2] = {{kProbeTime.seconds, kProbeTime.nanoseconds},
                                   {kProbeTime.seconds, kProbeTime.nanoseconds}};
        struct stat kept {};
        if (probe.Valid() && ::futimens(probe.Fd(), times) == 0 && ::fstat(probe.Fd(), &kept) == 0) {
            LearnTimeStep(posix::FileSystemKeyOf(probe.Fd()), kProbeTime,
                          FileTime{kept.st_mtim.tv_sec, static_cast<std::uint32_t>(kept.st_mtim.tv_nsec)});
        }
    }
    return TimeResolution(folder);
}

} // namespace quillmere::platform
