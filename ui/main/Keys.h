// SPDX-License-Identifier: GPL-3.0-or-later
// The keys the window logic acts on, numbered as Windows numbers its virtual keys; each front end maps its own
// keys to these.
#pragma once

namespace quillmere::keys {
inline constexpr int kBack = 0x08;
inline constexpr int kDelete = 0x2E;
} // namespace quillmere::keys
