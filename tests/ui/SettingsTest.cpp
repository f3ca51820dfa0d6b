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

TEST(SettingsTest, OnAndOffAreStoredAsTheExactTexts) {
    EXPECT_EQ(OnOffText(true), "On");
    EXPECT_EQ(OnOffText(false), "Off");
    MemorySettingsStore store;
    SaveOnOff(store, "Minimized", true);
    EXPECT_EQ(store.Stored("Minimized"), "On");
    SaveOnOff(store, "Keep Replaced", false);
    EXPECT_EQ(store.Stored("Keep Replaced"), "Off");
}

// A start-up box is ticked only by exactly "On".
TEST(SettingsTest, OnlyExactOnTicksTheBox) {
    MemorySettingsStore store;
    store.values["Minimized"] = "On";
    EXPECT_TRUE(ReadOnOff(store, "Minimized"));
    for (std::string_view other : {"on", "ON", " On", "On ", "Off", "", "1"}) {
        store.values["Minimized"] = std::string(other);
        EXPECT_FALSE(ReadOnOff(store, "Minimized")) << other;
    }
}

// Each On/Off setting reads a text that is neither "On" nor "Off" its own way: a start-up box stays clear, replaced
// files are kept, and Auto Sync is left as the window was designed (no value).
TEST(SettingsTest, ATextNeitherOnNorOffReadsAsItsSettingSays) {
    struct Case {
        std::optional<std::string> stored;
        bool minimized;
        bool keepReplaced;
        std::optional<bool> autoSync;
    };
    const Case cases[] = {
        {std::nullopt, false, true, true},  {"On", true, true, true},        {"Off", false, false, false},
        {"off", false, true, std::nullopt}, {"", false, true, std::nullopt}, {" On", false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.stored) {
            store.values = {{"Minimized", *c.stored}, {"Keep Replaced", *c.stored}, {"StartStopState", *c.stored}};
        }
        const std::string label = c.stored.value_or("<absent>");
        EXPECT_EQ(ReadOnOff(store, "Minimized"), c.minimized) << label;
        EXPECT_EQ(ReadOnOff(store, "Keep Replaced"), c.keepReplaced) << label;
        EXPECT_EQ(ReadOnOffExactly(store, "StartStopState"), c.autoSync) << label;
    }
}

} // namespace
} // namespace quillmere::test
