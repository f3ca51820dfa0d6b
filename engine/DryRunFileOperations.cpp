// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DryRunFileOperations.h"

#include "fs/AddFolder.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <limits>

namespace quillmere {

namespace {

// The file systems that keep coarser times (FAT, exFAT) cut the copied time down to their step. The earliest
// time of all (a saturated one) has no step below it and stays as it is.
std::int64_t TimeAsStoredIn(const std::string& folder, std::int64_t time) {
    const std::int64_t step = std::max<std::int64_t>(platform::TimeResolution(folder), 1);
    std::int64_t remainder = time % step;
    if (remainder < 0) {
        remainder += step;
    }
    return time < std::numeric_limits<std::int64_t>::min() + remainder ? time : time - remainder;
}

} // namespace

std::optional<std::int64_t> DryRunFileOperations::LastWriteTime(const std::string& path) {
    const auto found = pretended_.find(NormalizePath(path));
    if (found != pretended_.end()) {
        return found->second.lastWriteTime;
    }
    return platform::ReadLastWriteTime(path);
}

// The guards of CopyFileSafe, and the refusals of the copy itself that can be told in advance: only a file
// that is not read-only is ever replaced.
bool DryRunFileOperations::Copy(const std::string& source, const std::string& destination) {
    const std::optional<GuardedCopyPaths> paths = GuardCopyPaths(source, destination);
    if (!paths || paths->source == paths->destination || !SourceExists(paths->source) ||
        !IsFolder(GetFolderPart(paths->destination)) || !IsReplaceable(paths->destination)) {
        return false;
    }
    const std::optional<std::int64_t> time = LastWriteTime(paths->source);
    if (!time) {
        return false;
    }
    const std::string folder = GetFolderPart(paths->destination);
    pretended_[paths->destination] = PretendedFile{TimeAsStoredIn(folder, *time), IsReadOnly(paths->source)};
    return true;
}

bool DryRunFileOperations::IsReplaceable(const std::string& destination) const {
    if (pretended_.contains(destination)) {
        return !IsReadOnly(destination);
    }
    if (GetFileName(destination).empty()) {
        return false;
    }
    return !IsFolder(destination) && !IsReadOnly(destination);
}

bool DryRunFileOperations::SourceExists(const std::string& source) const {
    return pretended_.contains(source) || IsExistingFile(source);
}

bool DryRunFileOperations::IsReadOnly(const std::string& path) const {
    const auto found = pretended_.find(path);
    if (found != pretended_.end()) {
        return found->second.readOnly;
    }
    const std::optional<std::uint32_t> attributes = platform::ReadAttributes(path);
    return attributes && (*attributes & platform::attr::ReadOnly) != 0;
}

} // namespace quillmere
