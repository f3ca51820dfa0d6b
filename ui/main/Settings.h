// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings store: every value the program keeps between runs, as text, under the application
// "Harnvale" and a section named after the product. The keys and their defaults live here; where the values
// are kept is the business of each SettingsStore (QSettings for the Qt window).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The application level of every value's address; the section is the product's name (build::kProductName).
inline constexpr std::string_view kSettingsApplication = "Harnvale";

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

} // namespace quillmere
