#include "engine/DryRunFileOperations.h"

#include "fs/AddFolder.h"
#include "fs/Main.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace quillmere {

namespace {

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// The file systems that keep coarser times (FAT, exFAT) cut the copied time down to their step.
std::int64_t TimeAsStoredIn(const std::string& folder, std::int64_t time) {
    const std::int64_t step = std::max<std::int64_t>(platform::TimeResolution(folder), 1);
    std::int64_t remainder = time % step;
    if (remainder < 0) {
        remainder += step;
    }
    return time - remainder;
}

} // namespace

std::optional<std::int64_t> DryRunFileOperations::LastWriteTime(const std::string& path) {
    const auto found = pretended_.find(NormalizePath(path));
    if (found != pretended_.end()) {
        return found->second.lastWriteTime;
    }
    return platform::ReadLastWriteTime(path);
}

// The guards of CopyFileSafe, and the refusals of the copy itself that can be told in advance: a destination
// that is a folder or read-only is never replaced.
bool DryRunFileOperations::Copy(const std::string& source, const std::string& destination) {
    if (IsBlank(source) || IsBlank(destination)) {
        return false;
    }
    const std::string from = NormalizePath(source);
    std::string to = NormalizePath(destination);
    if (from.find_first_of("?*") != std::string::npos) {
        to = GetFolderPart(to);
    }
    const std::string folder = GetFolderPart(to);
    if (!SourceExists(from) || !IsFolder(folder) || GetFileName(to).empty() || IsFolder(to) || IsReadOnly(to)) {
        return false;
    }
    const std::optional<std::int64_t> time = LastWriteTime(from);
    if (!time) {
        return false;
    }
    pretended_[to] = PretendedFile{TimeAsStoredIn(folder, *time), IsReadOnly(from)};
    return true;
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
