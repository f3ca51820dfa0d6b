// SPDX-License-Identifier: GPL-3.0-or-later
// The kernel's inotify settings as the watch tests lower them: only for a moment, or in a user namespace of the
// test's own, and always put back.
#pragma once

#include <string>

namespace quillmere::test {

inline constexpr const char* kMaxQueuedEvents = "/proc/sys/fs/inotify/max_queued_events";

// The first line of a /proc setting, empty when it cannot be read.
std::string ReadSetting(const std::string& path);
bool WriteSetting(const std::string& path, const std::string& value);

// In a child process only: enters a user namespace of its own and sets its limit on watches there, so that no
// other program on the machine runs short. False where the system allows no such namespace.
bool OwnWatchLimit(const std::string& limit);

} // namespace quillmere::test
