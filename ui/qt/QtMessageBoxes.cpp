// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtMessageBoxes.h"

#include <QMessageBox>

namespace quillmere::qt {
namespace {

void Show(QWidget* owner, QMessageBox::Icon icon, const std::string& title, const std::string& text) {
    // Reports break their lines with "\r\n" and "\r"; a Qt label breaks only at "\n".
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n").replace('\r', '\n');
    QMessageBox box(icon, QString::fromStdString(title), shown, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtMessageBoxes::Inform(const std::string& title, const std::string& text) {
    Show(owner_, QMessageBox::NoIcon, title, text);
}

void QtMessageBoxes::Warn(const std::string& title, const std::string& text) {
    Show(owner_, QMessageBox::Warning, title, text);
}

} // namespace quillmere::qt
