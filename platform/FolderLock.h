// SPDX-License-Identifier: GPL-3.0-or-later
// A claim on a folder that one holder at a time has, across the processes of this machine: flock on the folder on
// POSIX, a named mutex keyed by the folder's identity on Windows. Either goes with its holder, also when the
// process is killed, so a crashed pass never leaves its folders claimed.
#pragma once

#include <string>

namespace quillmere::platform {

class FolderLock {
public:
    // Tries once and never waits. A folder that cannot be opened, or whose file system takes no locks, is held by
    // nobody: it is not Busy, and nothing is claimed.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // True when another holder has the folder: another process, or another thread of this one (on POSIX also an
    // earlier lock of the same thread; on Windows the thread holding it may take it again).
    bool Busy() const { return busy_; }

private:
    bool busy_ = false;
#ifdef _WIN32
    void* mutex_ = nullptr;
#else
    int fd_ = -1;
#endif
};

} // namespace quillmere::platform
