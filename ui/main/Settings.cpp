// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Settings.h"

#include <stdexcept>

namespace quillmere {
namespace {

constexpr std::string_view kOn = "On";
constexpr std::string_view kOff = "Off";

constexpr bool DefaultsAreOnOrOff() {
    for (const SettingKey& key : kSettingKeys) {
        if (key.kind == SettingKind::OnOff && key.byDefault != kOn && key.byDefault != kOff) {
            return false;
        }
    }
    return true;
}
static_assert(DefaultsAreOnOrOff(), "an On/Off setting's default is \"On\" or \"Off\"");

const SettingKey& Find(std::string_view key) {
    for (const SettingKey& known : kSettingKeys) {
        if (known.name == key) {
            return known;
        }
    }
    throw std::invalid_argument("Unknown setting \"" + std::string(key) + "\"");
}

std::string Get(const SettingsStore& store, const SettingKey& key) {
    return store.Read(key.name).value_or(std::string(key.byDefault));
}

} // namespace

std::string GetSetting(const SettingsStore& store, std::string_view key) {
    return Get(store, Find(key));
}

void SaveSetting(SettingsStore& store, std::string_view key, const std::string& value) {
    store.Write(Find(key).name, value);
}

std::string_view OnOffText(bool on) {
    return on ? kOn : kOff;
}

std::optional<bool> ParseOnOff(std::string_view text) {
    if (text == kOn) {
        return true;
    }
    if (text == kOff) {
        return false;
    }
    return std::nullopt;
}

std::optional<bool> ReadOnOffExactly(const SettingsStore& store, OnOffKey key) {
    return ParseOnOff(Get(store, key.Key()));
}

bool ReadOnOff(const SettingsStore& store, OnOffKey key) {
    return ReadOnOffExactly(store, key).value_or(key.Key().otherwiseOn);
}

void SaveOnOff(SettingsStore& store, OnOffKey key, bool on) {
    store.Write(key.Key().name, std::string(OnOffText(on)));
}

} // namespace quillmere
