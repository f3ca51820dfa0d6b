// SPDX-License-Identifier: GPL-3.0-or-later
// The completion time as the status line shows it: the locale's short date and its long time, with the seconds.
#include "ui/qt/QtSystem.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

TEST(QtSystemTest, TheGeneralDateIsTheShortDateAndTheLongTimeWithoutTheZone) {
    const QDateTime when(QDate(2026, 12, 8), QTime(16, 5, 9), Qt::UTC);
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "12/8/26 4:05:09 PM"},
        {"de_DE", "08.12.26 16:05:09"},
        {"en_GB", "08/12/2026 16:05:09"},
    };
    for (const auto& [locale, shown] : cases) {
        EXPECT_EQ(qt::GeneralDateText(when, QLocale(locale)).toStdString(), shown) << locale;
    }
}

} // namespace
} // namespace quillmere::test
