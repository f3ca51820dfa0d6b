// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/ApplySkin.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <stdexcept>

namespace quillmere::look {

namespace {

void PaintBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// The plain controls take the colour; push buttons, lists and the progress bar keep their own.
bool TakesButtonFace(const QWidget& widget) {
    return qobject_cast<const QGroupBox*>(&widget) || qobject_cast<const QCheckBox*>(&widget) ||
           qobject_cast<const QRadioButton*>(&widget) || qobject_cast<const QLabel*>(&widget);
}

QString ReadStyleSheet(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("Cannot read the skin file " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString SkinPath(const QString& programFolder) {
    return programFolder + QStringLiteral("/x/o.cjs");
}

QColor ButtonFaceColour() {
    return QApplication::palette().color(QPalette::Button);
}

bool ApplySkin(QWidget& form, const QString& programFolder) {
    if (!QFileInfo(SkinPath(programFolder)).isFile())
        return false;
    const QColor face = ButtonFaceColour();
    PaintBackground(form, face);
    for (QWidget* child : form.findChildren<QWidget*>())
        if (TakesButtonFace(*child))
            PaintBackground(*child, face);
    form.setStyleSheet(ReadStyleSheet(SkinPath(programFolder)));
    return true;
}

bool FileIsPresent(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.lastModified().isValid();
}

} // namespace quillmere::look
