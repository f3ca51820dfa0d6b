// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/HandCursor.h"

#include "ui/look/ApplySkin.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>

#include <stdexcept>

namespace quillmere::look {

namespace {
constexpr int kHeaderBytes = 6;
constexpr int kEntryBytes = 16;
constexpr quint16 kCursorType = 2;

quint16 Word(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}
} // namespace

QString CursorPath(const QString& programFolder) {
    return programFolder + QStringLiteral("/HAND-M.CUR");
}

std::optional<QPoint> CursorHotspot(const QByteArray& file) {
    if (file.size() < kHeaderBytes + kEntryBytes || Word(file, 0) != 0 || Word(file, 2) != kCursorType ||
        Word(file, 4) == 0)
        return std::nullopt;
    return QPoint(Word(file, 10), Word(file, 12));
}

QCursor LoadCursorFile(const QString& path) {
    QFile file(path);
    QPixmap picture;
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot read the cursor file " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (!picture.loadFromData(bytes))
        throw std::runtime_error("Invalid picture: " + path.toStdString());
    // Qt reads the image but not the hotspot; a hotspot outside the image falls back to Qt's default, the centre.
    const QPoint hotspot = CursorHotspot(bytes).value_or(QPoint(-1, -1));
    if (!picture.rect().contains(hotspot))
        return QCursor(picture);
    return QCursor(picture, hotspot.x(), hotspot.y());
}

std::optional<QCursor> LoadHandCursor(const QString& programFolder) {
    if (!FileIsPresent(CursorPath(programFolder)))
        return std::nullopt;
    return LoadCursorFile(CursorPath(programFolder));
}

} // namespace quillmere::look
