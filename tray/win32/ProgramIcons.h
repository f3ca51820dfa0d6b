// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pictures as icons of the Windows program: one icon resource holds every size (16 pixels for the
// tray, 32 to 256 for the window). Shared by the resource script and the code that loads it.
#pragma once

#define QUILLMERE_ICON_RESOURCE 1

#ifndef RC_INVOKED

#include "tray/TrayBackend.h"

#include <windows.h>

namespace quillmere::tray {

// The picture at the size the system shows it (small for the tray icon), or null for Picture::None and for a
// program built without the icon resource. Shared: never destroyed.
HICON PictureIcon(Picture picture);

} // namespace quillmere::tray

#endif
