// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Settings.h"

#include <array>
#include <stdexcept>

namespace quillmere {
namespace {

struct SettingKey {
    std::string_view name;
    std::string_view defaultValue;
};

// Every key the program stores, with the value a first run reads.
constexpr std::array kKeys{
    SettingKey{"Folder 1", ""},         SettingKey{"Folder 2", ""},        SettingKey{"OftenIndex", "4"},
    SettingKey{"StartStopState", "On"}, SettingKey{"Minimized", "Off"},    SettingKey{"Windows Startup", "Off"},
    SettingKey{"LastFolder", ""},       SettingKey{"Keep Replaced", "On"},
};

const SettingKey& Find(std::string_view key) {
    for (const SettingKey& known : kKeys) {
        if (known.name == key) {
            return known;
        }
    }
    throw std::invalid_argument("Unknown setting \"" + std::string(key) + "\"");
}

} // namespace

std::string GetSetting(const SettingsStore& store, std::string_view key) {
    const SettingKey& known = Find(key);
    return store.Read(known.name).value_or(std::string(known.defaultValue));
}

void SaveSetting(SettingsStore& store, std::string_view key, const std::string& value) {
    store.Write(Find(key).name, value);
}

} // namespace quillmere
