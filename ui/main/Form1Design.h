// SPDX-License-Identifier: GPL-3.0-or-later
// The window's design as both views build it: the captions of the controls the logic never writes, the option
// buttons with the direction each stands for, and the width of the lists' column.
#pragma once

#include "engine/modSync.h"

#include <string_view>

namespace quillmere::form1_design {

inline constexpr std::string_view kFrame1 = "Sync Options";
inline constexpr std::string_view kCheck11 = "Keep replaced files in the Trash";
inline constexpr std::string_view kCheck12 = "Sync as soon as files change";
inline constexpr std::string_view kPushButton3 = "1. Choose Folder 1";
inline constexpr std::string_view kPushButton1 = "2. Choose Folder 2";
inline constexpr std::string_view kPushButton12 = "Sync Now (Test)";
inline constexpr std::string_view kFrame3 = "Startup Option";
inline constexpr std::string_view kCheck9 = "Start in system tray";
inline constexpr std::string_view kCheck10 = "Load this software on Windows startup";
inline constexpr std::string_view kFolderListTip =
    "Double-click item to remove it. Move | line to right and out of window to reveal full names.";

// Option1, Option2 and Option3, in that order.
struct DirectionOption {
    std::string_view caption;
    SyncDirection direction;
};
inline constexpr DirectionOption kDirectionOptions[] = {
    {"Both direction - Sync both folders to each other based on newly edited files in either folder ",
     SyncDirection::BothWays},
    {"One direction - Copy Folder1 to Folder2 based on newly edited files in Folder1 ",
     SyncDirection::Folder1ToFolder2},
    {"One direction - Copy Folder2 to Folder1 based on newly edited files in Folder2 ",
     SyncDirection::Folder2ToFolder1},
};

// The lists' column is 7000 twips (1/1440 inch) wide: in pixels at dpi dots per inch, rounded to the nearest.
constexpr int ListColumnWidth(int dpi) {
    constexpr int kTwips = 7000;
    constexpr int kTwipsPerInch = 1440;
    return (kTwips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

} // namespace quillmere::form1_design
