// SPDX-License-Identifier: GPL-3.0-or-later
// The window's application title, which names the program in its notices and its task list entry.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// The application title made from the product name: cut before its last blank, then again while longer than
// 40 characters. A name without a blank is kept whole.
std::string AppTitleFromProductName(std::string_view productName);

} // namespace quillmere
