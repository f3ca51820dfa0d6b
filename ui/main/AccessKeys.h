// SPDX-License-Identifier: GPL-3.0-or-later
// The window's access keys (Alt and a letter or digit): which caption has which, marked as both toolkits mark
// them, with an "&" before the key. A caption shows the same with or without its mark, underline aside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// The caption as a control takes it: its access key marked when it has one, and any "&" of its own doubled so
// that it shows as written.
std::string WithAccessKey(std::string_view caption);

// The captions that have an access key, each as marked.
const std::vector<std::string_view>& MarkedCaptions();

// The caption as it shows: every mark taken out, a doubled "&" shown once.
std::string ShownCaption(std::string_view marked);

} // namespace quillmere
