// SPDX-License-Identifier: GPL-3.0-or-later
// Adds or removes the program's Run value as the start-up check box does, so that a script can look at the
// registry in between with "reg query". Built in a folder of its own, where the check puts another program
// that sorts first: the Run value must name this one.
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
