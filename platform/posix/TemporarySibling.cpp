// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quillmere::platform::posix {

TemporarySibling::TemporarySibling(const std::string& folder) : path_(folder + "/~quillmere-XXXXXX") {
    std::vector<char> name(path_.begin(), path_.end());
    name.push_back('\0');
    // Close-on-exec: a program started meanwhile (the window opens a browser) would otherwise keep the file, and
    // with it the removable drive it lies on, open for as long as it runs.
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    created_ = fd_ >= 0;
    if (created_) {
        path_.assign(name.data());
    }
}

TemporarySibling::~TemporarySibling() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (created_ && !renamed_) {
        ::unlink(path_.c_str());
    }
}

bool TemporarySibling::ReplaceDestination(const std::string& destination) {
    // The data must be on the disk before the name points at it, or a crash could leave an empty destination.
    if (::fsync(fd_) != 0) {
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return false;
    }
    renamed_ = ::rename(path_.c_str(), destination.c_str()) == 0;
    return renamed_;
}

} // namespace quillmere::platform::posix
