// SPDX-License-Identifier: GPL-3.0-or-later
// The optional skin: a Qt style sheet at <program folder>/x/o.cjs restyles the main window.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace quillmere::look {

QString SkinPath(const QString& programFolder);

// The platform's button-face colour, which a skinned window's plain controls take.
QColor ButtonFaceColour();

// When the skin file is a regular file: gives the window, its frames, check boxes, option buttons and labels
// the button-face colour, then applies the file as the window's style sheet, and returns true. Without the
// file nothing changes and it returns false. Throws std::runtime_error when the file cannot be read; the
// colours set before that stay.
bool ApplySkin(QWidget& form, const QString& programFolder);

// True when the path's last-change time can be read, i.e. it names something that exists; never fails.
bool FileIsPresent(const QString& path);

} // namespace quillmere::look
