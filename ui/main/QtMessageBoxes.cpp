// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/QtMessageBoxes.h"

#include <QMessageBox>

namespace quillmere {
namespace {

void Show(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    // Reports break their lines with "\r\n" and "\r"; a Qt label breaks only at "\n".
    QString shown = text;
    shown.replace("\r\n", "\n").replace('\r', '\n');
    QMessageBox box(icon, title, shown, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtMessageBoxes::Inform(QWidget* owner, const QString& title, const QString& text) {
    Show(owner, QMessageBox::NoIcon, title, text);
}

void QtMessageBoxes::Warn(QWidget* owner, const QString& title, const QString& text) {
    Show(owner, QMessageBox::Warning, title, text);
}

} // namespace quillmere
