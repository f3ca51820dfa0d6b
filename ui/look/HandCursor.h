// SPDX-License-Identifier: GPL-3.0-or-later
// The optional hand pointer: a Windows cursor file at <program folder>/HAND-M.CUR.
#pragma once

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <optional>

namespace quillmere::look {

QString CursorPath(const QString& programFolder);

// The hotspot a cursor file's first directory entry records, or nothing when the bytes are not a cursor's.
std::optional<QPoint> CursorHotspot(const QByteArray& file);

// The file as a pointer with its own hotspot. Throws std::runtime_error when it is no picture Qt can read.
QCursor LoadCursorFile(const QString& path);

// The hand pointer when its file is present; nothing without it. Throws as LoadCursorFile.
std::optional<QCursor> LoadHandCursor(const QString& programFolder);

} // namespace quillmere::look
