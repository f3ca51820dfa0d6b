// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/RegistrySettingsStore.h"

#include "BuildValues.h"
#include "platform/FileSystem.h"
#include "platform/windows/WideText.h"

#include <algorithm>
#include <stdexcept>

namespace quillmere::win32 {

namespace {

using platform::windows::ToUtf8;
using platform::windows::ToWide;

std::wstring Wide(std::string_view text, std::string_view what) {
    auto wide = ToWide(text);
    if (!wide)
        throw std::runtime_error("The setting's " + std::string(what) + " is not valid UTF-8");
    return *wide;
}

} // namespace

std::wstring RegistrySettingsStore::DefaultKeyPath() {
    return L"Software\\VB and VBA Program Settings\\" + *ToWide(kSettingsApplication) + L"\\" +
           *ToWide(build::kProductName);
}

RegistrySettingsStore::RegistrySettingsStore() : RegistrySettingsStore(HKEY_CURRENT_USER, DefaultKeyPath()) {}

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {}

std::optional<std::string> RegistrySettingsStore::Read(std::string_view key) const {
    const auto name = ToWide(key);
    if (!name)
        return std::nullopt;
    // Asked twice while another program makes the value longer in between: ask again.
    for (;;) {
        DWORD size = 0;
        if (RegGetValueW(root_, keyPath_.c_str(), name->c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::wstring value(size / sizeof(wchar_t), L'\0');
        const LONG result =
            RegGetValueW(root_, keyPath_.c_str(), name->c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        value.resize(std::min(value.find(L'\0'), value.size()));
        return ToUtf8(value);
    }
}

void RegistrySettingsStore::Write(std::string_view key, const std::string& value) {
    const std::wstring name = Wide(key, "name");
    const std::wstring text = Wide(value, "value");
    HKEY opened = nullptr;
    LONG result = RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("Could not write the setting \"" + std::string(key) + "\" to the registry (" +
                                 ToUtf8(keyPath_).value_or("") +
                                 "): " + platform::SystemMessage(static_cast<int>(result)));
}

} // namespace quillmere::win32
