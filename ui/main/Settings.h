// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings store: every value the program keeps between runs, as text, under the application
// "Harnvale" and the section "Quillmere".
#pragma once

#include <QString>

#include <string_view>

namespace quillmere {

// The stored text of key, or the key's default when nothing is stored. Never creates anything.
// Throws std::invalid_argument for a key the program does not know.
QString GetSetting(std::string_view key);

// Stores value under key at once (nothing is batched), so it survives an abrupt end of the program.
// Throws std::runtime_error when the store cannot be written, std::invalid_argument for an unknown key.
void SaveSetting(std::string_view key, const QString& value);

} // namespace quillmere
