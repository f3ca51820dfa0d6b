// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace quillmere::platform {

// A lock on the open folder itself: nothing is written into it, and a second open of the same folder, in this
// process or another, is refused the lock while this one holds it.
FolderLock::FolderLock(const std::string& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        return;
    }
    busy_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) {
        ::close(fd_); // and with it the lock
    }
}

} // namespace quillmere::platform
