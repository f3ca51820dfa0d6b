// SPDX-License-Identifier: GPL-3.0-or-later
// Names as the command line prints them: nothing in a name can end a line or drive the terminal.
#include "fs/PrintableText.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(Printable, EscapesWhatCouldBreakALineAndKeepsEverythingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"line\nbreak\r\ttab", "line\\nbreak\\r\\ttab"},
        {std::string("nul\0bell\x07"
                     "del\x7f",
                     13),
         "nul\\x00bell\\x07del\\x7f"},
        {"next line \xc2\x85 and csi \xc2\x9b", "next line \\xc2\\x85 and csi \\xc2\\x9b"},
        {"separator \xe2\x80\xa8", "separator \\xe2\\x80\\xa8"},
        {"broken \xff\xc3", "broken \\xff\\xc3"},
        {"B\xc3\xbc"
         "cher \xd0\x9a\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb8 C:\\Data\\x",
         "B\xc3\xbc"
         "cher \xd0\x9a\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb8 C:\\Data\\x"},
    };
    for (const auto& [name, printed] : cases) {
        EXPECT_EQ(Printable(name), printed) << printed;
    }
}

} // namespace
} // namespace quillmere
