// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32Form1Design.h"

#include "ui/main/Form1Design.h"
#include "ui/main/SyncIntervals.h"

#include <algorithm>

namespace quillmere::win32 {

namespace {

using namespace form1_design;

constexpr ControlDesign kDesign[] = {
    {Control::Frame1, "Frame1", ControlKind::Frame, kFrame1, MoveReport::Plain},
    {Control::Option1, "Option1", ControlKind::OptionButton, kDirectionOptions[0].caption, MoveReport::None},
    {Control::Option2, "Option2", ControlKind::OptionButton, kDirectionOptions[1].caption, MoveReport::None},
    {Control::Option3, "Option3", ControlKind::OptionButton, kDirectionOptions[2].caption, MoveReport::None},
    {Control::Check11, "Check11", ControlKind::CheckBox, kCheck11, MoveReport::None},
    {Control::Check12, "Check12", ControlKind::CheckBox, kCheck12, MoveReport::None},
    {Control::PushButton3, "PushButton3", ControlKind::PushButton, kPushButton3, MoveReport::Button},
    {Control::PushButton1, "PushButton1", ControlKind::PushButton, kPushButton1, MoveReport::Button},
    {Control::ListView1, "ListView1", ControlKind::List, {}, MoveReport::Plain},
    {Control::ListView2, "ListView2", ControlKind::List, {}, MoveReport::Plain},
    {Control::ListView3, "ListView3", ControlKind::List, {}, MoveReport::Plain},
    {Control::PushButton13, "PushButton13", ControlKind::PushButton, {}, MoveReport::Button},
    {Control::PushButton12, "PushButton12", ControlKind::PushButton, kPushButton12, MoveReport::Button},
    {Control::Frame2, "Frame2", ControlKind::Frame, {}, MoveReport::Plain},
    {Control::ProgressBar1, "ProgressBar1", ControlKind::ProgressBar, {}, MoveReport::None},
    {Control::PushButton14, "PushButton14", ControlKind::PushButton, {}, MoveReport::Button},
    {Control::Label1, "Label1", ControlKind::Text, {}, MoveReport::None},
    {Control::Frame3, "Frame3", ControlKind::Frame, kFrame3, MoveReport::Plain},
    {Control::Check9, "Check9", ControlKind::CheckBox, kCheck9, MoveReport::None},
    {Control::Check10, "Check10", ControlKind::CheckBox, kCheck10, MoveReport::None},
};
static_assert(std::size(kDesign) == kControlCount);

constexpr int kFolderRows = 3;

RECT Place(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

} // namespace

const ControlDesign& DesignOf(Control control) {
    return kDesign[static_cast<std::size_t>(control)];
}

// Sizes at 96 dots per inch, scaled; the lists are as wide as their column with a scroll bar beside it and as
// high as their rows: three for a folder list, every interval for the interval list.
Layout LayOut(const Metrics& metrics) {
    const auto scaled = [&](int pixels) { return MulDiv(pixels, metrics.dpi, 96); };
    const int margin = scaled(12);
    const int gap = scaled(7);
    const int buttonHeight = scaled(26);
    const int lineHeight = scaled(20);
    const int lineStep = scaled(26);
    const int captionBand = scaled(20); // a frame's caption, above what the frame holds
    const int inset = scaled(12);
    const int border = scaled(2);
    const int listWidth = form1_design::ListColumnWidth(metrics.dpi) + metrics.scrollBarWidth + 2 * border;
    const auto listHeight = [&](int rows) {
        return metrics.listHeaderHeight + rows * metrics.listRowHeight + 2 * border;
    };

    Layout layout;
    const auto place = [&](Control control, RECT rect) { layout.places[static_cast<std::size_t>(control)] = rect; };
    const int left = margin;
    const int right = margin + listWidth + gap;
    const int innerWidth = listWidth - 2 * inset;

    int top = margin;
    constexpr Control kSyncOptions[] = {Control::Option1, Control::Option2, Control::Option3, Control::Check11,
                                        Control::Check12};
    const int optionLines = static_cast<int>(std::size(kSyncOptions));
    place(Control::Frame1, Place(left, top, 2 * listWidth + gap, captionBand + optionLines * lineStep + border));
    for (int i = 0; i < optionLines; ++i)
        place(kSyncOptions[i],
              Place(left + inset, top + captionBand + i * lineStep, 2 * listWidth + gap - 2 * inset, lineHeight));
    top += captionBand + optionLines * lineStep + border + gap;
    place(Control::PushButton3, Place(left, top, listWidth, buttonHeight));
    place(Control::PushButton1, Place(right, top, listWidth, buttonHeight));
    top += buttonHeight + gap;
    place(Control::ListView1, Place(left, top, listWidth, listHeight(kFolderRows)));
    place(Control::ListView2, Place(right, top, listWidth, listHeight(kFolderRows)));
    top += listHeight(kFolderRows) + gap;

    const int intervals = static_cast<int>(SyncIntervals().size());
    place(Control::ListView3, Place(left, top, listWidth, listHeight(intervals)));
    const int leftBottom = top + listHeight(intervals);

    place(Control::PushButton13, Place(right, top, listWidth, buttonHeight));
    top += buttonHeight + gap;
    place(Control::PushButton12, Place(right, top, listWidth, buttonHeight));
    top += buttonHeight + gap;
    const int barHeight = scaled(24);
    const int noteHeight = 2 * lineHeight; // the watch's note: a line for each folder
    const int statusHeight = captionBand + barHeight + gap + buttonHeight + gap + noteHeight + inset;
    place(Control::Frame2, Place(right, top, listWidth, statusHeight));
    place(Control::ProgressBar1, Place(right + inset, top + captionBand, innerWidth, barHeight));
    place(Control::PushButton14, Place(right + inset, top + captionBand + barHeight + gap, innerWidth, buttonHeight));
    place(Control::Label1,
          Place(right + inset, top + captionBand + barHeight + gap + buttonHeight + gap, innerWidth, noteHeight));
    top += statusHeight + gap;
    place(Control::Frame3, Place(right, top, listWidth, captionBand + 2 * lineStep + border));
    place(Control::Check9, Place(right + inset, top + captionBand, innerWidth, lineHeight));
    place(Control::Check10, Place(right + inset, top + captionBand + lineStep, innerWidth, lineHeight));
    const int rightBottom = top + captionBand + 2 * lineStep + border;

    layout.client = SIZE{right + listWidth + margin, std::max(leftBottom, rightBottom) + margin};
    return layout;
}

} // namespace quillmere::win32
