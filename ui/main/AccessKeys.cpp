// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/AccessKeys.h"

#include <algorithm>

namespace quillmere {

// One key each. The three directions begin alike and the digits belong to the two choose buttons, so the third
// direction takes the "d" of "direction".
const std::vector<std::string_view>& MarkedCaptions() {
    static const std::vector<std::string_view> captions = {
        "&Both direction - Sync both folders to each other based on newly edited files in either folder ",
        "&One direction - Copy Folder1 to Folder2 based on newly edited files in Folder1 ",
        "One &direction - Copy Folder2 to Folder1 based on newly edited files in Folder2 ",
        "&Keep replaced files in the Trash",
        "Sync as soon as &files change",
        "&1. Choose Folder 1",
        "&2. Choose Folder 2",
        "Turn On &Auto Sync",
        "Turn Off &Auto Sync",
        "Sync &Now (Test)",
        "&Start in system tray",
        "&Load this software on Windows startup",
    };
    return captions;
}

std::string ShownCaption(std::string_view marked) {
    std::string shown;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] == '&' && i + 1 < marked.size()) {
            ++i;
        }
        shown += marked[i];
    }
    return shown;
}

std::string WithAccessKey(std::string_view caption) {
    const auto& captions = MarkedCaptions();
    const auto found = std::find_if(captions.begin(), captions.end(),
                                    [caption](std::string_view marked) { return ShownCaption(marked) == caption; });
    if (found != captions.end()) {
        return std::string(*found);
    }
    std::string escaped;
    for (char c : caption) {
        escaped += c == '&' ? std::string("&&") : std::string(1, c);
    }
    return escaped;
}

} // namespace quillmere
