// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/Main.h"

#include "base/ErrorTrap.h"

namespace quillmere {

namespace {

// Replaces every doubled separator by one in a single left-to-right pass that does not look again at what it
// produced: three in a row become two, four become two.
std::string CollapseDoubledSeparators(std::string_view text, char separator) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) {
            ++i;
        }
    }
    return result;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

char SeparatorOf(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string GetFileName(std::string_view path, PathStyle style) {
    const auto last = path.rfind(SeparatorOf(style));
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string GetFolderPart(std::string_view path, PathStyle style) {
    const auto last = path.rfind(SeparatorOf(style));
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string NormalizePath(std::string_view path, PathStyle style) {
    const char separator = SeparatorOf(style);
    if (path.empty() || path.front() != separator) {
        return CollapseDoubledSeparators(path, separator);
    }
    // A leading run of separators: two on Windows, where "\\server\share" needs them, one on POSIX.
    const auto afterRun = path.find_first_not_of(separator);
    const std::string_view rest = afterRun == std::string_view::npos ? std::string_view() : path.substr(afterRun);
    const std::string lead(style == PathStyle::Windows ? 2 : 1, separator);
    return lead + CollapseDoubledSeparators(rest, separator);
}

std::string WithTrailingSeparator(std::string_view folder, PathStyle style) {
    std::string withSeparator(folder);
    if (!folder.empty() && folder.back() != SeparatorOf(style)) {
        withSeparator += SeparatorOf(style);
    }
    return withSeparator;
}

std::string EnteredFolder(std::string_view folder, PathStyle style) {
    return NormalizePath(WithTrailingSeparator(folder, style), style);
}

bool IsFolder(const std::string& path) {
    try {
        const auto attributes = platform::ReadAttributes(path);
        return attributes && (*attributes & platform::attr::Directory) != 0;
    } catch (...) {
        return false;
    }
}

platform::CopyOutcome FsoCopyFile(const platform::CopyRequest& request) {
    try {
        return platform::CopyFileFailSafe(request);
    } catch (...) {
        platform::CopyOutcome failed;
        failed.cause = DescribeCurrentException();
        return failed;
    }
}

std::optional<GuardedCopyPaths> GuardCopyPaths(std::string_view source, std::string_view destination, PathStyle style) {
    if (IsBlank(source) || IsBlank(destination)) {
        return std::nullopt;
    }
    GuardedCopyPaths paths{NormalizePath(source, style), NormalizePath(destination, style)};
    // A Windows wildcard source means "into that folder"; such a source is no existing file, so nothing is copied.
    if (style == PathStyle::Windows && paths.source.find_first_of("?*") != std::string::npos) {
        paths.destination = GetFolderPart(paths.destination, style);
    }
    return paths;
}

std::optional<platform::CopyOutcome> GuardCopyRequest(platform::CopyRequest& request) {
    const auto paths = GuardCopyPaths(request.source, request.destination);
    if (!paths || GetFolderPart(paths->destination).empty()) {
        return platform::CopyOutcome::Refused(platform::Refusal::NotAFile);
    }
    request.source = paths->source;
    request.destination = paths->destination;
    return std::nullopt;
}

platform::CopyOutcome CopyFileSafe(platform::CopyRequest request) {
    if (auto refused = GuardCopyRequest(request)) {
        return *refused;
    }
    return FsoCopyFile(request);
}

} // namespace quillmere
