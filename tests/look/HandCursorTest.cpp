// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/HandCursor.h"

#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillmere::look {
namespace {

QByteArray CursorHeader(quint16 type, quint16 x, quint16 y) {
    QByteArray bytes(22, '\0');
    bytes[2] = char(type);
    bytes[4] = 1; // one entry
    bytes[10] = char(x & 0xFF);
    bytes[11] = char(x >> 8);
    bytes[12] = char(y & 0xFF);
    bytes[13] = char(y >> 8);
    return bytes;
}

TEST(CursorHotspotTest, ReadsLittleEndianWordsOfTheFirstEntry) {
    EXPECT_EQ(CursorHotspot(CursorHeader(2, 0x0102, 7)), QPoint(0x0102, 7));
    EXPECT_EQ(CursorHotspot(CursorHeader(1, 3, 4)), std::nullopt) << "an icon has no hotspot";
    EXPECT_EQ(CursorHotspot(CursorHeader(2, 3, 4).left(21)), std::nullopt) << "cut short";
    QByteArray empty = CursorHeader(2, 3, 4);
    empty[4] = 0;
    EXPECT_EQ(CursorHotspot(empty), std::nullopt) << "no entries";
}

TEST(HandCursorTest, CursorFileKeepsItsHotspot) {
    const QCursor cursor = LoadCursorFile(QUILLMERE_TEST_CURSOR);
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(9, 1));
}

class HandCursorFolderTest : public ::testing::Test {
protected:
    void Write(const QByteArray& bytes) {
        QFile file(CursorPath(folder.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir folder;
};

TEST_F(HandCursorFolderTest, NoFileNoCursor) {
    EXPECT_EQ(LoadHandCursor(folder.path()), std::nullopt);
}

TEST_F(HandCursorFolderTest, FileInTheProgramFolderBecomesTheCursor) {
    ASSERT_TRUE(QFile::copy(QUILLMERE_TEST_CURSOR, CursorPath(folder.path())));
    const auto cursor = LoadHandCursor(folder.path());
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), QPoint(9, 1));
}

TEST_F(HandCursorFolderTest, UnreadablePictureIsAnError) {
    Write(CursorHeader(2, 1, 1) + QByteArray("not a bitmap"));
    EXPECT_THROW(LoadHandCursor(folder.path()), std::runtime_error);
}

TEST_F(HandCursorFolderTest, HotspotOutsideThePictureFallsBackToTheCentre) {
    QFile original(QUILLMERE_TEST_CURSOR);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    bytes[10] = char(200);
    Write(bytes);
    EXPECT_EQ(LoadHandCursor(folder.path())->hotSpot(), QPoint(16, 16));
}

} // namespace
} // namespace quillmere::look
