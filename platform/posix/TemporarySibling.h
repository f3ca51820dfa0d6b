// SPDX-License-Identifier: GPL-3.0-or-later
// A uniquely named temporary file beside a destination, removed again unless it replaces the destination.
#pragma once

#include <string>

namespace quillmere::platform::posix {

class TemporarySibling {
public:
    // Creates "~quillmere-XXXXXX" (mode 0600, closed on exec) in folder; Valid() tells whether that worked. The
    // name begins with "~" so that a pass that meets a leftover (after a power cut) leaves it alone.
    explicit TemporarySibling(const std::string& folder);
    ~TemporarySibling();
    TemporarySibling(const TemporarySibling&) = delete;
    TemporarySibling& operator=(const TemporarySibling&) = delete;

    bool Valid() const { return created_; }
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }

    // Flushes and closes the file and renames it over destination. False (and the file removed by the
    // destructor) when any of these fails.
    bool ReplaceDestination(const std::string& destination);

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool renamed_ = false;
};

} // namespace quillmere::platform::posix
