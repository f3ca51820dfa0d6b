// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/ProgramIcons.h"

// Resources of a static library are dropped by the linker unless something calls their initializer; once is enough.
static void InitIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(quillmere_icons);
        return true;
    }();
    (void)registered;
}

namespace quillmere::tray {

QIcon TrayPicture() {
    InitIconResources();
    return QIcon(QStringLiteral(":/icons/tray.png"));
}

QIcon ProgramIcon() {
    InitIconResources();
    QIcon icon;
    for (int size : {32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillmere-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon PictureIcon(Picture picture) {
    switch (picture) {
    case Picture::TrayIcon:
        return TrayPicture();
    case Picture::ProgramIcon:
        return ProgramIcon();
    case Picture::None:
        break;
    }
    return {};
}

} // namespace quillmere::tray
