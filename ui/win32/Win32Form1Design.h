// SPDX-License-Identifier: GPL-3.0-or-later
// The window's design: its controls with their design names, kinds and texts, and where each one lies. The
// layout is the Qt window's: the direction frame across the top, the two folder lists side by side under their
// buttons, the interval list on the left below them, the Auto Sync buttons, the status frame and the start-up
// frame on the right.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace quillmere::win32 {

// The controls by their design names, in their order of creation, which is the order of the Tab key.
enum class Control {
    Frame1,
    Option1,
    Option2,
    Option3,
    Check11, // "Keep replaced files in the Trash", under the direction
    Check12, // "Sync as soon as files change", under Check11
    PushButton3,
    PushButton1,
    ListView1,
    ListView2,
    ListView3,
    PushButton13,
    PushButton12,
    Frame2,
    ProgressBar1,
    PushButton14, // the note of what the last pass could not do; hidden without one, its place kept
    Label1,       // why changes on a folder are found by the timed pass only; hidden while they can be trusted
    Frame3,
    Check9,
    Check10,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Check10) + 1;

enum class ControlKind { Frame, OptionButton, PushButton, CheckBox, List, ProgressBar, Text };

// What a mouse move over the control tells the window logic: nothing, or that it is over a push button or over
// a plain part of the window.
enum class MoveReport { None, Button, Plain };

struct ControlDesign {
    Control control;
    const char* name;
    ControlKind kind;
    std::string_view text; // the design text (UTF-8); the logic sets the others'
    MoveReport move;
};

const ControlDesign& DesignOf(Control control);

// What the layout depends on besides the dots per inch: sizes the system and the font decide.
struct Metrics {
    int dpi = 96;
    int scrollBarWidth = 17; // a vertical scroll bar
    int listHeaderHeight = 20;
    int listRowHeight = 16;
};

struct Layout {
    std::array<RECT, kControlCount> places{}; // in client coordinates
    SIZE client{};
};

Layout LayOut(const Metrics& metrics);

} // namespace quillmere::win32
