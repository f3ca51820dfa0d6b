// SPDX-License-Identifier: GPL-3.0-or-later
// When a file was last written, as the local date-time value the comparison uses: days since
// 1899-12-30 00:00 local time, the fraction being the time of day.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmere {

// No value when nothing is found at path (a folder gives its own time).
std::optional<double> GetFileLastModified(const std::string& path);

// A file time (100-nanosecond steps since 1601-01-01 00:00 UTC) as a local date-time value; 0 when the
// conversion fails.
double FileTimeToLocalDate(std::uint64_t fileTime);

} // namespace quillmere
