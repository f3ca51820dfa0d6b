// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings with FindFirstFileExW, telling a refused permission and a missing path from other failures.
#include "platform/FolderReading.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32Handle.h"

#include <windows.h>

#include <utility>

namespace quillmere::platform {

using windows::SearchHandle;

namespace {

ListingStatus StatusOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return ListingStatus::PermissionDenied;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:    // the path names a file
    case ERROR_INVALID_NAME: // e.g. a drive letter that does not exist
    case ERROR_BAD_NETPATH:  // no such server
    case ERROR_BAD_NET_NAME: // no such share
    case ERROR_NOT_READY:    // a drive without its medium
        return ListingStatus::PathNotFound;
    default:
        return ListingStatus::OtherError;
    }
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

FolderContents detail::ReadFolder(const std::string& folder, const ContentsWanted& wanted) {
    FolderContents listing;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';
    const auto wide = windows::ToWidePath(pattern);
    if (folder.empty() || !wide) {
        listing.status = ListingStatus::PathNotFound;
        listing.cause = SystemMessage(ERROR_INVALID_NAME);
        return listing;
    }
    WIN32_FIND_DATAW entry{};
    SearchHandle search(FindFirstFileExW(wide->c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) {
        const DWORD error = GetLastError();
        // An empty drive root has not even "." to return.
        if (error != ERROR_FILE_NOT_FOUND) {
            listing.status = StatusOf(error);
            listing.cause = SystemMessage(static_cast<int>(error));
        }
        return listing;
    }
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((isFolder ? !wanted.folders : !wanted.files) || IsDotEntry(entry.cFileName))
            continue;
        // A name with an unpaired surrogate has no UTF-8 form and could not be opened again: leave it out.
        if (auto name = windows::ToUtf8(entry.cFileName))
            (isFolder ? listing.folders : listing.files).push_back(std::move(*name));
    } while (FindNextFileW(search.get(), &entry));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        listing.status = StatusOf(error); // the names read so far are kept
        listing.cause = SystemMessage(static_cast<int>(error));
    }
    // The search tells no file's identity: each file is opened by its path instead.
    if (wanted.fileFacts) {
        const std::string prefix = pattern.substr(0, pattern.size() - 1);
        for (const std::string& name : listing.files)
            listing.fileFacts.push_back(ReadFileFacts(prefix + name));
    }
    return listing;
}

} // namespace quillmere::platform
