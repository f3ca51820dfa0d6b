// The time resolution of the file system a folder lies on (the system calls; the rules are in
// TimeResolutionRules.cpp).
#include "platform/FileSystem.h"
#include "platform/posix/TimeResolutionRules.h"

#include <sys/vfs.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace quillmere::platform {

namespace {

std::string ReadMountTable() {
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string RealPathOf(const std::string& folder) {
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(folder.c_str(), nullptr), std::free);
    return real ? std::string(real.get()) : folder;
}

// statfs says only "FUSE"; which driver serves the folder is in the mount table.
std::int64_t ResolutionOfFuseFolder(const std::string& folder) {
    const auto mount = posix::FindMount(ReadMountTable(), RealPathOf(folder));
    return mount ? posix::ResolutionOfMountType(mount->type) : posix::kExactResolution;
}

} // namespace

std::int64_t TimeResolution(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) {
        return posix::kExactResolution;
    }
    const auto resolution = posix::ResolutionOfMagic(static_cast<std::uint64_t>(info.f_type));
    return resolution ? *resolution : ResolutionOfFuseFolder(folder);
}

} // namespace quillmere::platform
