// SPDX-License-Identifier: GPL-3.0-or-later
// Two passes never work on a folder at once, whichever programs run them (two windows, a window and the command
// line): two at once would keep every replaced file twice and take each other's copies for changed files.
#pragma once

#include "platform/FolderLock.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// What a pass says when another holds one of its folders.
inline constexpr std::string_view kAnotherPassRunning = "another pass is running on these folders";

// Claims both folders of a pass's pair, or neither: held only when no other pass holds either. A folder chosen on
// both sides is claimed once; the two are claimed in one order whatever side each is on, so that two passes on
// the same pair never both fail for holding one folder each.
class PairLock {
public:
    PairLock(const std::string& folder1, const std::string& folder2);

    bool Held() const { return held_; }

private:
    std::vector<std::unique_ptr<platform::FolderLock>> locks_;
    bool held_ = true;
};

} // namespace quillmere
