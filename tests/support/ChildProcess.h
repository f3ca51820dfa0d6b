// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a piece of a test in a forked child, for what must not touch the test process itself: lowered limits, or
// the rights of an ordinary user (root ignores permission bits).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillmere::test {

// The text work returns, passed back from the child; no value when the child failed or died.
std::optional<std::string> RunInChild(const std::function<std::string()>& work);

// The same, with the child running as the user and group "nobody" (65534). Needs root; the folders work
// touches must be reachable by anyone.
std::optional<std::string> RunAsNobody(const std::function<std::string()>& work);

inline constexpr unsigned kNobody = 65534;

// Why a test cannot run work as nobody on folder (not root, or the folder lies below one nobody cannot enter);
// no value when it can.
std::optional<std::string> CannotRunAsNobodyIn(const std::string& folder);

} // namespace quillmere::test
