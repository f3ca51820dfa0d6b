// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/ProgramIcons.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace quillmere::tray {
namespace {

TEST(ProgramIconsTest, TrayPictureIsTheOpaqueBlueHOnPaleCyan) {
    ASSERT_EQ(TrayPicture().availableSizes(),
              QList<QSize>({QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)}));
    const QImage image(":/icons/tray-16.png");
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)) << "border";
    EXPECT_EQ(image.pixelColor(15, 8), QColor(Qt::black)) << "border";
    EXPECT_EQ(image.pixelColor(3, 5), QColor(Qt::black)) << "outline of the H";
    EXPECT_EQ(image.pixelColor(4, 5).blue(), 255) << "stem of the H";
    EXPECT_EQ(image.pixelColor(7, 7).blue(), 255) << "bar of the H";
    EXPECT_EQ(image.pixelColor(1, 1), QColor(204, 255, 255)) << "ground";
}

// A panel or a HiDPI screen gets a picture drawn at its size, not the smallest one scaled up.
TEST(ProgramIconsTest, TheTrayPictureIsDrawnAtEachSize) {
    for (const int size : {22, 24, 32, 48, 64}) {
        const QImage image = TrayPicture().pixmap(QSize(size, size)).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        const int line = std::max(1, size / 32);
        EXPECT_EQ(image.pixelColor(line - 1, size / 2), QColor(Qt::black)) << size << ": border";
        EXPECT_EQ(image.pixelColor(line, line), QColor(204, 255, 255)) << size << ": ground just inside the border";
    }
}

TEST(ProgramIconsTest, ProgramIconHasEverySize) {
    EXPECT_EQ(ProgramIcon().availableSizes(),
              QList<QSize>({QSize(32, 32), QSize(48, 48), QSize(128, 128), QSize(256, 256)}));
    for (int size : {32, 48, 128, 256}) {
        const QImage image(QString(":/icons/quillmere-%1.png").arg(size));
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image.pixelColor(size / 2, size / 2).blue(), 255) << size;
    }
}

} // namespace
} // namespace quillmere::tray
