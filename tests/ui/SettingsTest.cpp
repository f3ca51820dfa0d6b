// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include "ui/main/Settings.h"

#include <QDir>

#include <stdexcept>

namespace quillmere::test {
namespace {

using SettingsTest = SettingsFixture;

TEST_F(SettingsTest, EmptyStoreReadsEveryDefaultAndCreatesNothing) {
    EXPECT_EQ(GetSetting("Folder 1"), "");
    EXPECT_EQ(GetSetting("Folder 2"), "");
    EXPECT_EQ(GetSetting("OftenIndex"), "4");
    EXPECT_EQ(GetSetting("StartStopState"), "On");
    EXPECT_EQ(GetSetting("Minimized"), "Off");
    EXPECT_EQ(GetSetting("Windows Startup"), "Off");
    EXPECT_EQ(GetSetting("LastFolder"), "");
    EXPECT_FALSE(QFile::exists(StoreFile()));
}

TEST_F(SettingsTest, ValuesRoundTripExactlyUnderTheApplicationAndSection) {
    const QString awkward[] = {"C:\\Data, old\\", "@Variant(not one)", " On ", "off", "\\\\server\\share\\", ""};
    for (const QString& value : awkward) {
        SaveSetting("Folder 1", value);
        EXPECT_EQ(GetSetting("Folder 1"), value);
        EXPECT_EQ(Stored("Folder 1"), value);
    }
    SaveSetting("OftenIndex", "11");
    EXPECT_EQ(Stored("OftenIndex"), "11");
    EXPECT_EQ(Stored("Folder 2"), "<absent>");
}

TEST_F(SettingsTest, UnknownKeysAreRefused) {
    EXPECT_THROW(GetSetting("Folder 3"), std::invalid_argument);
    EXPECT_THROW(SaveSetting("folder 1", "x"), std::invalid_argument);
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenThrows) {
    ASSERT_TRUE(QDir().mkpath(StoreFile())); // a folder where the file should be
    EXPECT_THROW(SaveSetting("StartStopState", "Off"), std::runtime_error);
}

} // namespace
} // namespace quillmere::test
