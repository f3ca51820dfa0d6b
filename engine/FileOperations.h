// SPDX-License-Identifier: GPL-3.0-or-later
// What a pass does to files besides listing them: make the guarded copy, and clear away a temporary file a killed
// copy left behind. A real pass goes to the disk; a dry run pretends; tests record.
#pragma once

#include "platform/FileCopy.h"
#include "platform/FileSystem.h"

#include <cstdint>

#include <string>

namespace quillmere {

class FileOperations {
public:
    virtual ~FileOperations() = default;
    // The guarded copy (CopyFileSafe), with what was compared, so that nothing else is replaced, added to a batch
    // that SettleCopies commits: platform::CopyBatch says what a batch promises. True when the batch is full:
    // settle it now.
    virtual bool StartCopy(const platform::CopyRequest& request) = 0;
    virtual void SettleCopies(const platform::CopyBatch::Told& tell) = 0;
    // A file named like the copy's temporary files, met by the listing: removed unless a copy still holds it.
    // Called on the threads that walk the two sides, from both at once.
    virtual void RemoveLeftover(const std::string& path) = 0;
    // The step in which the file system holding folder keeps file times, as far as is known without writing; and
    // as a time set on a file there and read back shows it (a dry run writes nothing, and keeps to what is known).
    virtual std::int64_t TimeStep(const std::string& folder) { return platform::TimeResolution(folder); }
    virtual std::int64_t MeasureTimeStep(const std::string& folder) { return TimeStep(folder); }
};

} // namespace quillmere
