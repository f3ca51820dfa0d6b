// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/mStartUp.h"

#include "startup/AutostartEntry.h"

namespace quillmere::startup {

void AddToStartup() {
    if (const auto program = RunningProgramFile())
        WriteAutostartEntry(*program, DefaultAutostartFolders());
}

void RemoveFromStartup() {
    if (const auto program = RunningProgramFile())
        RemoveAutostartEntry(*program, DefaultAutostartFolders());
}

} // namespace quillmere::startup
