// SPDX-License-Identifier: GPL-3.0-or-later
// Adds or removes the program's Run value as the start-up check box does, so that a script can look at the
// registry in between with "reg query". Built alone in a folder of its own: the Run value names the first
// program file of that folder.
#include "startup/mStartUp.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "add") == 0) {
        quillmere::startup::AddToStartup();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "remove") == 0) {
        quillmere::startup::RemoveFromStartup();
        return 0;
    }
    std::fputs("usage: quillmere-startup-entry add|remove\n", stderr);
    return 2;
}
