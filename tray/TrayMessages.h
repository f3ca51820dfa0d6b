// SPDX-License-Identifier: GPL-3.0-or-later
// The notifications a tray icon reports, numbered as the Windows shell numbers them. The tray control acts on
// them in one place (cSysTray::HandleTrayMessage), whichever platform produced them.
#pragma once

namespace quillmere::tray::messages {
inline constexpr int kMouseMove = 0x200;
inline constexpr int kLeftButtonDown = 0x201;
inline constexpr int kLeftButtonUp = 0x202;
inline constexpr int kLeftButtonDoubleClick = 0x203;
inline constexpr int kRightButtonDown = 0x204;
inline constexpr int kRightButtonUp = 0x205;
inline constexpr int kRightButtonDoubleClick = 0x206;
inline constexpr int kMiddleButtonDown = 0x207;
inline constexpr int kMiddleButtonUp = 0x208;
inline constexpr int kBalloonShow = 0x402;
inline constexpr int kBalloonHide = 0x403;
inline constexpr int kBalloonTimeout = 0x404;
inline constexpr int kBalloonUserClick = 0x405;
} // namespace quillmere::tray::messages
