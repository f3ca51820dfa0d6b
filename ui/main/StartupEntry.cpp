// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/StartupEntry.h"

#include "startup/mStartUp.h"

namespace quillmere {

void SystemStartupEntry::AddToStartup() {
    startup::AddToStartup();
}

void SystemStartupEntry::RemoveFromStartup() {
    startup::RemoveFromStartup();
}

} // namespace quillmere
