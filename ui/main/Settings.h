// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings store: every value the program keeps between runs, as text, under the application
// "Harnvale" and a section named after the product. The keys, their kinds and their defaults live in one table
// here; where the values are kept is the business of each SettingsStore (QSettings for the Qt window).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The application level of every value's address; the section is the product's name (build::kProductName).
inline constexpr std::string_view kSettingsApplication = "Harnvale";

enum class SettingKind {
    Text,
    Number, // a number in text, read by its user
    OnOff,  // exactly "On" or "Off"
};

struct SettingKey {
    std::string_view name;
    SettingKind kind;
    std::string_view byDefault; // what a first run reads
    // For an On/Off setting, what a stored text other than exactly "On" or "Off" (damaged, or written by hand)
    // means to ReadOnOff.
    bool otherwiseOn = false;
};

// Every key the program stores.
inline constexpr SettingKey kSettingKeys[] = {
    {"Folder 1", SettingKind::Text, ""},
    {"Folder 2", SettingKind::Text, ""},
    {"OftenIndex", SettingKind::Number, "4"},
    {"StartStopState", SettingKind::OnOff, "On"},
    {"Minimized", SettingKind::OnOff, "Off"},
    {"Windows Startup", SettingKind::OnOff, "Off"},
    {"LastFolder", SettingKind::Text, ""},
    // Losing a replaced file is worse than keeping one: only an exact "Off" replaces outright.
    {"Keep Replaced", SettingKind::OnOff, "On", true},
    {"Sync On Change", SettingKind::OnOff, "Off"},
};

// The key of an On/Off setting, checked against the table as the program is compiled: a name that is not in it,
// or that names a setting of another kind, does not compile.
class OnOffKey {
public:
    // Implicit, so that a call names its setting as the store does: ReadOnOff(store, "Minimized").
    consteval OnOffKey(const char* name) : key_(Find(name)) {}
    const SettingKey& Key() const { return *key_; }

private:
    static consteval const SettingKey* Find(std::string_view name) {
        for (const SettingKey& key : kSettingKeys) {
            if (key.name == name && key.kind == SettingKind::OnOff) {
                return &key;
            }
        }
        throw "no On/Off setting of that name";
    }

    const SettingKey* key_;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text of key, or nothing when none is stored. Never creates anything.
    virtual std::optional<std::string> Read(std::string_view key) const = 0;
    // Stores value under key at once (nothing is batched), so it survives an abrupt end of the program.
    // Throws std::runtime_error when the store cannot be written.
    virtual void Write(std::string_view key, const std::string& value) = 0;
};

// The stored text of key, or the key's default when nothing is stored.
// Throws std::invalid_argument for a key the program does not know.
std::string GetSetting(const SettingsStore& store, std::string_view key);

// Throws as SettingsStore::Write, and std::invalid_argument for an unknown key.
void SaveSetting(SettingsStore& store, std::string_view key, const std::string& value);

// The stored text of an On/Off value: "On" or "Off".
std::string_view OnOffText(bool on);
// On or Off as text reads: only exactly "On" or "Off" ("on", " On" and "" are neither).
std::optional<bool> ParseOnOff(std::string_view text);

// The setting as stored, or its default; no value when the stored text is neither "On" nor "Off".
std::optional<bool> ReadOnOffExactly(const SettingsStore& store, OnOffKey key);
// The setting as stored, or its default; a text that is neither "On" nor "Off" reads as the key's table says.
bool ReadOnOff(const SettingsStore& store, OnOffKey key);
void SaveOnOff(SettingsStore& store, OnOffKey key, bool on);

} // namespace quillmere
