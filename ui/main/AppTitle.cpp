// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/AppTitle.h"

#include "fs/Utf8.h"

namespace quillmere {

std::string AppTitleFromProductName(std::string_view productName) {
    std::string_view title = productName;
    do {
        const auto lastBlank = title.rfind(' ');
        if (lastBlank == std::string_view::npos) {
            break;
        }
        title = title.substr(0, lastBlank);
    } while (CountCharacters(title) > 40);
    return std::string(title);
}

} // namespace quillmere
