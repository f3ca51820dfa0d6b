// SPDX-License-Identifier: GPL-3.0-or-later
// The two things a pass does to files after listing them: read a last-write time and make the guarded copy.
// A real pass goes to the disk; a dry run pretends its copies; tests record them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmere {

class FileOperations {
public:
    virtual ~FileOperations() = default;
    // Nanoseconds since 1970-01-01 00:00 UTC; no value when nothing is at path.
    virtual std::optional<std::int64_t> LastWriteTime(const std::string& path) = 0;
    // The guarded copy (CopyFileSafe); true when the file was copied.
    virtual bool Copy(const std::string& source, const std::string& destination) = 0;
};

} // namespace quillmere
