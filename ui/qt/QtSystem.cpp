// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtSystem.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>

namespace quillmere::qt {
namespace {

// The locale's long time format without its time zone, as a desktop clock shows the long time: Qt adds the zone
// ("t" outside quotes), the system's general date format has none.
QString LongTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        quoted = c == '\'' ? !quoted : quoted;
        if (quoted || c != 't') {
            kept += c;
        }
    }
    return kept.trimmed();
}

} // namespace

QString GeneralDateText(const QDateTime& when, const QLocale& locale) {
    return locale.toString(when.date(), QLocale::ShortFormat) + ' ' +
           locale.toString(when.time(), LongTimeFormat(locale));
}

std::string LocalTimeText() {
    return GeneralDateText(QDateTime::currentDateTime(), QLocale()).toStdString();
}

void OpenUrl(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

} // namespace quillmere::qt
