// SPDX-License-Identifier: GPL-3.0-or-later
// Path and file helpers shared by the engine and the window. The path helpers take the path style as an
// argument so that Windows paths ("\", drive roots, "\\server\share") and POSIX paths are both handled anywhere.
#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

enum class PathStyle { Posix, Windows };
#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

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
// Copies without checking anything; false when the copy failed (nothing is then changed).
bool FsoCopyFile(const std::string& source, const std::string& destination);
// The guarded copy, the only write the program makes to the synchronized folders: nothing happens unless neither
// text is blank, the source is an existing file and the destination's folder exists. No folder is ever created.
// Returns true when a file was copied.
bool CopyFileSafe(const std::string& source, const std::string& destination);

// The application title made from the product name: cut before its last blank, then again while longer than
// 40 characters. A name without a blank is kept whole. The window's SetAppTitle applies it.
std::string AppTitleFromProductName(std::string_view productName);

} // namespace quillmere
