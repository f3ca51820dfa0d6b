// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the program with the system: a per-system start-up entry that runs the program file with no
// arguments, named after that file. Windows keeps it as a Run value, other systems as an autostart entry.
// Failures are silent: the caller's choice and setting stay as the user made them.
#pragma once

namespace quillmere::startup {

void AddToStartup();
void RemoveFromStartup();

} // namespace quillmere::startup
