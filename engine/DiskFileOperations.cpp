// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DiskFileOperations.h"

#include "fs/Main.h"
#include "platform/FileSystem.h"

namespace quillmere {

std::optional<std::int64_t> DiskFileOperations::LastWriteTime(const std::string& path) {
    return platform::ReadLastWriteTime(path);
}

bool DiskFileOperations::Copy(const std::string& source, const std::string& destination) {
    return CopyFileSafe(source, destination);
}

} // namespace quillmere
