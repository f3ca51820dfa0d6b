// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PathText.h"

namespace quillmere::platform::posix {

std::string WithoutTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string_view LastComponent(std::string_view path) {
    while (!path.empty() && path.back() == '/') {
        path.remove_suffix(1);
    }
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ParentFolderOf(std::string_view path) {
    const std::string trimmed = WithoutTrailingSeparators(path);
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

} // namespace quillmere::platform::posix
