// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pictures, drawn by scripts/make-icons.py and built into the program as Qt resources.
#pragma once

#include "tray/TrayBackend.h"

#include <QIcon>

namespace quillmere::tray {

// The picture the tray icon shows: 16, 22, 24, 32, 48 and 64 pixels.
QIcon TrayPicture();

// The window and application icon: 32, 48, 128 and 256 pixels.
QIcon ProgramIcon();

// The picture by its name; a null icon for Picture::None.
QIcon PictureIcon(Picture picture);

} // namespace quillmere::tray
