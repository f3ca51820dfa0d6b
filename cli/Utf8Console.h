// SPDX-License-Identifier: GPL-3.0-or-later
// The program's text at the console is UTF-8, on Windows too, where arguments arrive and output is shown in the
// ANSI code page, which cannot hold every folder name ("Bücher" on a Greek system, "Книги" on a Western one).
#pragma once

#include <string>
#include <vector>

namespace quillmere::cli {

// The arguments after the program name, as UTF-8. On Windows they are read again from the UTF-16 command line;
// argv is used as it is elsewhere, and on Windows when that reading fails.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// While it lives, the Windows console shows what the program prints as UTF-8; the console's own code page is
// given back afterwards, as it belongs to the window the program was started from. Does nothing elsewhere.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    unsigned int previousCodePage_ = 0; // 0: nothing to give back
};

} // namespace quillmere::cli
