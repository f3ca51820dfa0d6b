// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DiskFileOperations.h"

#include "fs/Main.h"
#include "platform/FileSystem.h"

namespace quillmere {

platform::CopyOutcome DiskFileOperations::Copy(const platform::CopyRequest& request) {
    return CopyFileSafe(request);
}

void DiskFileOperations::RemoveLeftover(const std::string& path) {
    (void)platform::RemoveLeftoverTemporary(path);
}

} // namespace quillmere
