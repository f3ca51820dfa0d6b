// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/watch/KernelSettings.h"

#include <sched.h>

#include <fstream>

namespace quillmere::test {

std::string ReadSetting(const std::string& path) {
    std::ifstream in(path);
    std::string value;
    std::getline(in, value);
    return value;
}

bool WriteSetting(const std::string& path, const std::string& value) {
    std::ofstream out(path);
    out << value << '\n';
    out.close();
    return static_cast<bool>(out);
}

bool OwnWatchLimit(const std::string& limit) {
    return ::unshare(CLONE_NEWUSER) == 0 && WriteSetting("/proc/self/uid_map", "0 0 1") &&
           WriteSetting("/proc/sys/user/max_inotify_watches", limit);
}

} // namespace quillmere::test
