// SPDX-License-Identifier: GPL-3.0-or-later
// The file helpers the tests of the copy and the Trash name without their namespace.
#pragma once

#include "tests/support/TempDir.h"

namespace quillmere::platform {

using test::NamesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

} // namespace quillmere::platform
