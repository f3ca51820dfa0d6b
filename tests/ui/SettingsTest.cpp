// SPDX-License-Identifier: GPL-3.0-or-later
// The settings' keys and defaults, over a store in memory; the Qt store itself is checked in tests/qt.
#include "ScriptedWorld.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillmere::test {
namespace {

TEST(SettingsTest, EmptyStoreReadsEveryDefaultAndCreatesNothing) {
    const MemorySettingsStore store;
    const std::pair<const char*, const char*> defaults[] = {
        {"Folder 1", ""},     {"Folder 2", ""},           {"OftenIndex", "4"}, {"StartStopState", "On"},
        {"Minimized", "Off"}, {"Windows Startup", "Off"}, {"LastFolder", ""},  {"Keep Replaced", "On"},
    };
    for (const auto& [key, value] : defaults) {
        EXPECT_EQ(GetSetting(store, key), value) << key;
    }
    EXPECT_TRUE(store.values.empty());
}

TEST(SettingsTest, AStoredValueWinsOverTheDefaultEvenWhenEmpty) {
    MemorySettingsStore store;
    SaveSetting(store, "OftenIndex", "");
    SaveSetting(store, "StartStopState", "Off");
    EXPECT_EQ(GetSetting(store, "OftenIndex"), "");
    EXPECT_EQ(GetSetting(store, "StartStopState"), "Off");
}

TEST(SettingsTest, UnknownKeysAreRefused) {
    MemorySettingsStore store;
    EXPECT_THROW(GetSetting(store, "Folder 3"), std::invalid_argument);
    EXPECT_THROW(SaveSetting(store, "folder 1", "x"), std::invalid_argument);
    EXPECT_TRUE(store.values.empty());
}

} // namespace
} // namespace quillmere::test
