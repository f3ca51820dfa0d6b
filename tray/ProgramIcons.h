// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pictures, drawn by scripts/make-icons.py and built into the program as Qt resources.
#pragma once

#include <QIcon>

namespace quillmere::tray {

// The 16 x 16 picture the tray icon shows.
QIcon TrayPicture();

// The window and application icon: 32, 48, 128 and 256 pixels.
QIcon ProgramIcon();

} // namespace quillmere::tray
