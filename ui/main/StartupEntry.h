// SPDX-License-Identifier: GPL-3.0-or-later
// The entry that starts the program with the system, as the "Load this software on Windows startup" box sets it.
#pragma once

namespace quillmere {

class StartupEntry {
public:
    virtual ~StartupEntry() = default;
    virtual void AddToStartup() = 0;
    virtual void RemoveFromStartup() = 0;
};

// The system's own entry (startup/mStartUp): a Run value on Windows, an XDG autostart entry elsewhere.
class SystemStartupEntry final : public StartupEntry {
public:
    void AddToStartup() override;
    void RemoveFromStartup() override;
};

} // namespace quillmere
