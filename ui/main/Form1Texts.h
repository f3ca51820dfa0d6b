// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the window logic writes into its controls, shared by the files of Form1.
#pragma once

#include <string_view>

namespace quillmere::form1_texts {

inline constexpr std::string_view kNextSync = "Next sync will occur in ";
inline constexpr std::string_view kTurnOn = "Turn On Auto Sync";
inline constexpr std::string_view kTurnOff = "Turn Off Auto Sync";
inline constexpr std::string_view kProgressBar = "Progress Bar";
inline constexpr std::string_view kTurnedOff = "Auto Sync is Turned Off.";

} // namespace quillmere::form1_texts
