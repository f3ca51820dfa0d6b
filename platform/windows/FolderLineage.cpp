// SPDX-License-Identifier: GPL-3.0-or-later
// A folder's lineage on Windows: the folders above the path the system resolves it to (links, junctions and
// mounted folders followed), each known by its volume's serial number and its file index.
#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <algorithm>

namespace quillmere::platform {

using windows::FileHandle;

namespace {

// "\\?\C:\a\b" or "\\?\UNC\server\share\a", as the system names a folder in the end.
std::optional<std::wstring> FinalPath(const std::string& folder) {
    const auto wide = windows::ToWidePath(folder);
    if (!wide || wide->empty())
        return std::nullopt;
    FileHandle handle(CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid())
        return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle.get(), path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length); // too short: length is the room needed
    }
}

// The length of the volume's root at the start of a final path, its backslash included.
std::size_t RootLength(const std::wstring& path) {
    constexpr std::wstring_view kShare = L"\\\\?\\UNC\\";
    if (path.starts_with(kShare)) {
        const auto server = path.find(L'\\', kShare.size());
        const auto share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return std::min<std::size_t>(path.size(), 7); // "\\?\C:\"
}

} // namespace

std::optional<FolderLineage> ReadFolderLineage(const std::string& folder) {
    const auto attributes = ReadAttributes(folder);
    if (!attributes || !(*attributes & attr::Directory))
        return std::nullopt;
    const auto identity = ReadFolderIdentity(folder);
    std::optional<std::wstring> path = FinalPath(folder);
    if (!identity || !path)
        return std::nullopt;
    FolderLineage lineage{*identity, {}};
    const std::size_t rootLength = RootLength(*path);
    while (path->size() > rootLength) {
        const auto cut = path->find_last_of(L'\\');
        path->resize(cut == std::wstring::npos || cut + 1 <= rootLength ? rootLength : cut);
        const auto text = windows::ToUtf8(*path);
        if (const auto above = text ? ReadFolderIdentity(*text) : std::nullopt)
            lineage.above.push_back(*above);
    }
    return lineage;
}

} // namespace quillmere::platform
