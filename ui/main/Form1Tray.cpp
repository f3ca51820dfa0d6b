// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's side of its tray icon and start-up options: hiding to the tray and coming back, the two start-up
// boxes, and the pointer rules over its controls.
#include "ui/main/Form1.h"

#include "BuildValues.h"
#include "ui/main/Settings.h"
#include "ui/main/StartupEntry.h"

namespace quillmere {
namespace {

namespace procedure = form1_procedure;

constexpr std::string_view kTrayNotice = "has been minimized to the system tray.\r\nClick on the blue 'H' icon "
                                         "(H for Harnvale) to bring the software back.";
constexpr int kTrayNoticeSeconds = 5;
// How long a start in the tray waits for a notification area: at login a panel often starts after the programs.
constexpr int kTrayWaitMilliseconds = 10'000;

} // namespace

void Form1::Form_Resize(bool minimized) {
    Guarded(procedure::kFormResize, [&] {
        if (minimized && !minimizedToTray_) {
            HideToTray();
        }
    });
}

// The first hiding of a run tells the user where the window went; later ones are silent. On a desktop without a
// notification area no icon could bring the window back: it stays minimized where the desktop keeps it. The
// window keeps its minimized state while hidden (showing it normal again is the restore's business).
void Form1::HideToTray() {
    if (!cSysTray1_.TrayAvailable()) {
        return;
    }
    view_.Hide();
    minimizedToTray_ = true;
    cSysTray1_.ShowBalloon(std::string(kTrayNotice), build::kProductName, kTrayNoticeSeconds, true);
}

// A start in the tray that found no notification area waits a while for one; without one it starts minimized.
void Form1::ShowAfterLoad() {
    if (minimizedToTray_) {
        return;
    }
    if (check9_) {
        cSysTray1_.WaitForTray(kTrayWaitMilliseconds, [this] { EndStartInTray(); });
    } else {
        view_.Show();
    }
}

void Form1::EndStartInTray() {
    Guarded(procedure::kFormLoad, [this] {
        if (unloaded_) {
            return;
        }
        if (cSysTray1_.TrayAvailable()) {
            HideToTray();
        } else {
            view_.ShowMinimized();
        }
    });
}

// A notification area that goes while the window hides in it would leave nothing to bring the window back with:
// the window comes back minimized, where the desktop keeps it.
void Form1::cSysTray1_AvailabilityChanged() {
    Guarded(procedure::kTrayAvailability, [this] {
        if (minimizedToTray_ && !cSysTray1_.TrayAvailable()) {
            view_.ShowMinimized();
            minimizedToTray_ = false;
        }
    });
}

void Form1::cSysTray1_MouseUp(int /*button*/, int /*id*/) {
    Guarded(procedure::kTrayMouseUp, [this] {
        view_.Restore();
        minimizedToTray_ = false;
    });
}

void Form1::SetBox(FormCheckBox box, bool checked) {
    bool& value = box == FormCheckBox::Check9 ? check9_ : check10_;
    if (value == checked) {
        return;
    }
    view_.SetChecked(box, checked);
    if (box == FormCheckBox::Check9) {
        Check9_Click(checked);
    } else {
        Check10_Click(checked);
    }
}

void Form1::Check9_Click(bool checked) {
    check9_ = checked;
    Guarded(procedure::kCheck9, [this] { SaveOnOff(settings_, "Minimized", check9_); });
}

// Starting in the tray only makes sense when the program starts with the system: unticking that clears and
// hides the second box. The load step's own setting of the box changes nothing else. A setting that cannot be
// stored does not keep the entry from being written or removed.
void Form1::Check10_Click(bool checked) {
    check10_ = checked;
    Guarded(procedure::kCheck10, [&] {
        if (formLoading_) {
            return;
        }
        if (checked) {
            view_.SetVisible(FormCheckBox::Check9, true);
            Trap(Form1Step::SaveStartWithSystemOn, [this] { SaveOnOff(settings_, "Windows Startup", true); });
            Trap(Form1Step::AddToStartup, [this] { startup_.AddToStartup(); });
        } else {
            SetBox(FormCheckBox::Check9, false);
            view_.SetVisible(FormCheckBox::Check9, false);
            Trap(Form1Step::SaveStartWithSystemOff, [this] { SaveOnOff(settings_, "Windows Startup", false); });
            Trap(Form1Step::RemoveFromStartup, [this] { startup_.RemoveFromStartup(); });
        }
    });
}

// The hand over the push buttons, the arrow over the window, its frames and its lists; never while the window is
// busy, whose hourglass stays.
void Form1::MouseMove(std::string_view control, PointerArea area) {
    Guarded("Form1." + std::string(control) + "_MouseMove", [&] {
        if (!busy_) {
            view_.SetMousePointer(area == PointerArea::Button ? MousePointer::Custom : MousePointer::Default);
        }
    });
}

} // namespace quillmere
