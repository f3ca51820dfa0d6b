// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DiskFileOperations.h"

#include "fs/Main.h"
#include "platform/FileSystem.h"

namespace quillmere {

bool DiskFileOperations::StartCopy(const platform::CopyRequest& request) {
    platform::CopyRequest guarded = request;
    if (auto refused = GuardCopyRequest(guarded)) {
        batch_.AddEnded(request, *refused);
    } else {
        batch_.Add(guarded);
    }
    return batch_.Full();
}

void DiskFileOperations::SettleCopies(const platform::CopyBatch::Told& tell) {
    batch_.Commit(tell);
}

std::int64_t DiskFileOperations::MeasureTimeStep(const std::string& folder) {
    return platform::MeasureTimeResolution(folder);
}

void DiskFileOperations::RemoveLeftover(const std::string& path) {
    (void)platform::RemoveLeftoverTemporary(path);
}

} // namespace quillmere
