// SPDX-License-Identifier: GPL-3.0-or-later
// The product's name: the window's caption, the tray icon's tip and the title of its notice.
#pragma once

namespace quillmere {
inline constexpr const char* kProductName = "Quillmere";
} // namespace quillmere
