// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/win32/ProgramIcons.h"

namespace quillmere::tray {

HICON PictureIcon(Picture picture) {
    if (picture == Picture::None)
        return nullptr;
    const bool small = picture == Picture::TrayIcon;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(QUILLMERE_ICON_RESOURCE),
                                         IMAGE_ICON, GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON),
                                         GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON), LR_SHARED));
}

} // namespace quillmere::tray
