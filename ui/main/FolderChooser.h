// SPDX-License-Identifier: GPL-3.0-or-later
// The modal folder chooser the choose buttons open; tests put a scripted chooser in its place.
#pragma once

#include <string>

namespace quillmere {

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The full path of the folder the user confirmed, in native form and UTF-8, or "" when the user cancelled.
    // A drive or file-system root keeps its separator ("C:\", "/"); other folders come without one.
    virtual std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) = 0;
};

} // namespace quillmere
