// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/Settings.h"

namespace quillmere::qt {

// The settings store in the user's configuration folder: Harnvale/<product>.ini, one group per section.
class QtSettingsStore final : public SettingsStore {
public:
    std::optional<std::string> Read(std::string_view key) const override;
    void Write(std::string_view key, const std::string& value) override;
};

} // namespace quillmere::qt
