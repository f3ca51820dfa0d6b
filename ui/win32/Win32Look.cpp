// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32Look.h"

#include "platform/windows/WideText.h"
#include "ui/win32/WindowText.h"

#include <stdexcept>

namespace quillmere::win32 {

bool FileIsPresent(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    return !path.empty() &&
           GetFileAttributesExW(platform::windows::LongPathForm(path).c_str(), GetFileExInfoStandard, &facts);
}

std::wstring InFolder(const std::string& folder, const wchar_t* name) {
    std::wstring path = WindowText(folder);
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + name;
}

bool SkinPresent(const std::string& programFolder) {
    const DWORD attributes =
        GetFileAttributesW(platform::windows::LongPathForm(InFolder(programFolder, L"x\\o.cjs")).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

OwnedCursor LoadHandCursor(const std::string& programFolder) {
    const std::wstring path = InFolder(programFolder, L"HAND-M.CUR");
    if (!FileIsPresent(path))
        return nullptr;
    OwnedCursor cursor(LoadCursorFromFileW(path.c_str()));
    if (!cursor)
        throw std::runtime_error("Invalid picture: " + platform::windows::ToUtf8(path).value_or(programFolder));
    return cursor;
}

} // namespace quillmere::win32
