// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's account of what a pass could not do. Never a box per file, as an unattended timer would pile them up:
// a note by the status line that opens the full list, the tray tip, and a balloon when the tip changes.
#include "ui/main/Form1.h"

#include "BuildValues.h"

namespace quillmere {
namespace {

constexpr int kFailureNoticeSeconds = 10;

} // namespace

// After every pass, automatic or manual. A pass that did all it had to takes the note and the tip's account
// away again: they always tell of the last pass.
void Form1::TellPassFailures() {
    passEndedAt_ = now_();
    lastFailures_ = windowPass_.TakeFailures();
    const std::string summary = lastFailures_.Summary();
    view_.SetFailureNote(summary.empty() ? std::string() : summary + ". Show why...");
    TellTray(summary.empty() ? std::string() : summary + "\n" + lastFailures_.FirstCause());
}

// The balloon comes with a change of the tip only: a file that fails at every pass of a five-second timer is
// told once, not every five seconds, and told again after a pass that went well.
void Form1::TellTray(const std::string& failures) {
    const std::string tip = failures.empty() ? build::kProductName : build::kProductName + ("\n" + failures);
    if (tip == cSysTray1_.TrayTip()) {
        return;
    }
    cSysTray1_.setTrayTip(tip);
    if (!failures.empty() && cSysTray1_.TrayAvailable()) {
        cSysTray1_.ShowBalloon(failures, build::kProductName, kFailureNoticeSeconds, false);
    }
}

void Form1::PushButton14_Click() {
    Guarded(form1_procedure::kPushButton14, [this] {
        if (!lastFailures_.Empty()) {
            view_.ShowFailureList("Not copied or not read in the pass that ended at " + passEndedAt_,
                                  lastFailures_.Lines());
        }
    });
}

} // namespace quillmere
