// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/Settings.h"

#include <windows.h>

#include <string>

namespace quillmere::win32 {

// The settings where the run-time's GetSetting and SaveSetting keep them on Windows: one REG_SZ value per key
// under HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.
class RegistrySettingsStore final : public SettingsStore {
public:
    RegistrySettingsStore();
    // Another place, for tests: root\keyPath.
    RegistrySettingsStore(HKEY root, std::wstring keyPath);

    // A value of another type than text reads as none.
    std::optional<std::string> Read(std::string_view key) const override;
    void Write(std::string_view key, const std::string& value) override;

    static std::wstring DefaultKeyPath();

private:
    HKEY root_;
    std::wstring keyPath_;
};

} // namespace quillmere::win32
