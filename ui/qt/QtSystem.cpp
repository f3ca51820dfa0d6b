// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtSystem.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>

namespace quillmere::qt {

std::string LocalTimeText() {
    return QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString();
}

void OpenUrl(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

} // namespace quillmere::qt
