// SPDX-License-Identifier: GPL-3.0-or-later
// Path and file helpers shared by the engine and the window. The path helpers take the path style as an
// argument so that Windows paths ("\", drive roots, "\\server\share") and POSIX paths are both handled anywhere.
#pragma once

#include "platform/FileCopy.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

enum class PathStyle { Posix, Windows };
// The style of the system the program runs on, told by its separator.
inline constexpr PathStyle kNativePathStyle = platform::kSeparator == '\\' ? PathStyle::Windows : PathStyle::Posix;

char SeparatorOf(PathStyle style);

// Text after the last separator ("" when the path ends in one, the whole path when it has none).
std::string GetFileName(std::string_view path, PathStyle style = kNativePathStyle);
// Text up to and including the last separator ("" when there is none).
std::string GetFolderPart(std::string_view path, PathStyle style = kNativePathStyle);
// Doubled separators collapsed in one left-to-right pass. A leading run of separators becomes two on Windows
// (network paths) and one on POSIX.
std::string NormalizePath(std::string_view path, PathStyle style = kNativePathStyle);
// The folder with one separator at its end: one is added unless it ends in one already. An empty text names no
// folder and stays empty.
std::string WithTrailingSeparator(std::string_view folder, PathStyle style = kNativePathStyle);
// A folder as the program keeps it from where it enters (the window's chooser, the stored settings, the command
// line) on: normalized, with one separator at its end. Passes take it as it is.
std::string EnteredFolder(std::string_view folder, PathStyle style = kNativePathStyle);

// The text guards of CopyFileSafe: no value when either text is blank; otherwise both paths normalized, and for
// a wildcard source ("?" or "*") the destination cut to its folder. Only Windows names cannot hold those two
// characters; on POSIX they are ordinary letters of a file name. A dry run checks the same texts.
struct GuardedCopyPaths {
    std::string source;
    std::string destination;
};
std::optional<GuardedCopyPaths> GuardCopyPaths(std::string_view source, std::string_view destination,
                                               PathStyle style = kNativePathStyle);

bool IsFolder(const std::string& path);

// The guards of CopyFileSafe on the request's texts: a blank path, or a destination without a folder part, names
// no file to copy (the outcome tells so); otherwise both paths are normalized as GuardCopyPaths does, and no
// value is returned. A dry run applies the same guards.
std::optional<platform::CopyOutcome> GuardCopyRequest(platform::CopyRequest& request);

// The platform's fail-safe copy; an exception inside it is a failed copy, never one that escapes.
platform::CopyOutcome FsoCopyFile(const platform::CopyRequest& request);
// The guarded copy, the only write the program makes to the synchronized folders. The copy itself refuses a
// source that is no file and fails on a destination folder that does not exist: no folder is ever created.
platform::CopyOutcome CopyFileSafe(platform::CopyRequest request);

} // namespace quillmere
