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

namespace {
QIcon IconOfSizes(const QString& name, std::initializer_list<int> sizes) {
    InitIconResources();
    QIcon icon;
    for (int size : sizes)
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return icon;
}
} // namespace

// Drawn at each size a panel or a HiDPI screen asks for, never scaled up from 16 pixels.
QIcon TrayPicture() {
    return IconOfSizes(QStringLiteral("tray"), {16, 22, 24, 32, 48, 64});
}

QIcon ProgramIcon() {
    return IconOfSizes(QStringLiteral("quillmere"), {32, 48, 128, 256});
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
