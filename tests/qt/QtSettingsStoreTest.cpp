// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store behind QSettings: the file, the application and the section, and exact round trips.
#include "QtForm1Fixture.h"

#include <QDir>

#include <stdexcept>

namespace quillmere::test {
namespace {

class QtSettingsStoreTest : public SettingsFixture {
protected:
    qt::QtSettingsStore store_;
};

TEST_F(QtSettingsStoreTest, AnEmptyStoreReadsNothingAndCreatesNothing) {
    EXPECT_EQ(store_.Read("Folder 1"), std::nullopt);
    EXPECT_EQ(GetSetting(store_, "OftenIndex"), "4");
    EXPECT_FALSE(QFile::exists(StoreFile()));
}

TEST_F(QtSettingsStoreTest, ValuesRoundTripExactlyUnderTheApplicationAndSection) {
    const std::string awkward[] = {"C:\\Data, old\\", "@Variant(not one)", " On ", "off", "\\\\server\\share\\", "",
                                   "/home/\xC3\xBC"};
    for (const std::string& value : awkward) {
        SaveSetting(store_, "Folder 1", value);
        EXPECT_EQ(GetSetting(store_, "Folder 1"), value);
        EXPECT_EQ(Stored("Folder 1"), QString::fromStdString(value));
    }
    SaveSetting(store_, "OftenIndex", "11");
    EXPECT_EQ(Stored("OftenIndex"), "11");
    EXPECT_EQ(Stored("Folder 2"), "<absent>");
}

TEST_F(QtSettingsStoreTest, AStoreThatCannotBeWrittenThrows) {
    ASSERT_TRUE(QDir().mkpath(StoreFile())); // a folder where the file should be
    EXPECT_THROW(SaveSetting(store_, "StartStopState", "Off"), std::runtime_error);
}

} // namespace
} // namespace quillmere::test
