// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of its tray icon and start-up options: hiding to the tray and coming back, the two start-up
// boxes, and the pointer rules over its controls.
#include "ui/main/Form1.h"

#include "startup/StartupChoice.h"
#include "startup/mStartUp.h"
#include "tray/cSysTray.h"
#include "ui/main/ProductName.h"
#include "ui/main/Settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QTreeWidget>

namespace quillmere {
namespace {

const QString kTrayNotice = QStringLiteral("has been minimized to the system tray.\r\nClick on the blue 'H' icon "
                                           "(H for Harnvale) to bring the software back.");
constexpr int kTrayNoticeSeconds = 5;

QString OnOff(bool ticked) {
    const std::string_view text = startup::OnOffText(ticked);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Guarded("Form1.Form_Resize", [this] { Form_Resize(); });
    }
}

// The window keeps its minimized state while hidden: setting it back to normal here would have X map the
// hidden window again. The tray click brings it back in its normal state.
void Form1::Form_Resize() {
    if (isMinimized() && !MinimizedToTray) {
        HideToTray();
    }
}

// The first hiding of a run tells the user where the window went; later ones are silent. On a desktop without a
// notification area no icon could bring the window back: it stays minimized where the desktop keeps it.
void Form1::HideToTray() {
    if (!cSysTray1->TrayAvailable()) {
        return;
    }
    hide();
    MinimizedToTray = true;
    cSysTray1->ShowBalloon(kTrayNotice, kProductName, kTrayNoticeSeconds, true);
}

void Form1::cSysTray1_MouseUp() {
    showNormal();
    raise();
    activateWindow();
    MinimizedToTray = false;
}

void Form1::Check9_Click() {
    SaveSetting("Minimized", OnOff(Check9->isChecked()));
}

// Starting in the tray only makes sense when the program starts with the system: unticking that clears and
// hides the second box. The load step's own setting of the box changes nothing else. A setting that cannot be
// stored does not keep the entry from being written or removed.
void Form1::Check10_Click() {
    constexpr std::string_view label = "Form1.Check10_Click";
    if (FormLoading) {
        return;
    }
    if (Check10->isChecked()) {
        Check9->setVisible(true);
        Trap(label, 106, [] { SaveSetting("Windows Startup", OnOff(true)); });
        Trap(label, 108, [] { startup::AddToStartup(); });
    } else {
        Check9->setChecked(false);
        Check9->setVisible(false);
        Trap(label, 118, [] { SaveSetting("Windows Startup", OnOff(false)); });
        Trap(label, 120, [] { startup::RemoveFromStartup(); });
    }
}

// The hand over the push buttons, the arrow over the window, its frames and its lists; a failing rule is
// reported under the control's mouse-move handler and the program goes on.
void Form1::WatchPointer() {
    using Area = look::WindowPointer::Area;
    for (QPushButton* button : {PushButton1, PushButton3, PushButton12, PushButton13}) {
        pointer_.Watch(*button, Area::Button);
    }
    pointer_.Watch(*this, Area::Plain);
    for (QWidget* plain : std::initializer_list<QWidget*>{Frame1, Frame2, Frame3, ListView1, ListView2, ListView3}) {
        pointer_.Watch(*plain, Area::Plain);
    }
    pointer_.SetRuleRunner([this](const QWidget& over, const std::function<void()>& rule) {
        const QString name = over.objectName() == objectName() ? QStringLiteral("Form") : over.objectName();
        Guarded(("Form1." + name + "_MouseMove").toStdString(), rule);
    });
}

} // namespace quillmere
