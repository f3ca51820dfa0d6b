// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/AddFolder.h"
#include "fs/Main.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

void ExpectAll(std::string (*helper)(std::string_view, PathStyle), PathStyle style,
               std::initializer_list<PathCase> cases) {
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(helper(path, style), expected) << "of \"" << path << "\"";
    }
}

TEST(GetFileName, TextAfterTheLastSeparator) {
    ExpectAll(GetFileName, PathStyle::Windows,
              {{"C:\\a\\b.txt", "b.txt"}, {"b.txt", "b.txt"}, {"C:\\a\\", ""}, {"", ""}, {"C:/a/b.txt", "C:/a/b.txt"}});
    ExpectAll(GetFileName, PathStyle::Posix, {{"/a/b.txt", "b.txt"}, {"b.txt", "b.txt"}, {"/a/", ""}, {"/", ""}});
}

TEST(GetFolderPart, TextUpToAndWithTheLastSeparator) {
    ExpectAll(GetFolderPart, PathStyle::Windows,
              {{"C:\\Data\\a.txt", "C:\\Data\\"}, {"b.txt", ""}, {"C:\\", "C:\\"}, {"\\\\s\\sh\\f", "\\\\s\\sh\\"}});
    ExpectAll(GetFolderPart, PathStyle::Posix, {{"/data/a.txt", "/data/"}, {"b.txt", ""}, {"/a", "/"}});
}

TEST(NormalizePath, WindowsCollapsesInOnePassAndKeepsNetworkPaths) {
    ExpectAll(NormalizePath, PathStyle::Windows,
              {
                  {"C:\\\\", "C:\\"},
                  {"C:\\Data\\\\x", "C:\\Data\\x"},
                  {"\\\\server\\share\\", "\\\\server\\share\\"},
                  {"\\\\\\server", "\\\\server"},
                  {"\\server", "\\\\server"}, // one leading separator becomes two
                  {"\\", "\\\\"},
                  {"\\\\\\\\", "\\\\"},     // only separators: two
                  {"a\\\\\\b", "a\\\\b"},   // three become two: the pass does not rescan
                  {"a\\\\\\\\b", "a\\\\b"}, // four become two
                  {"\\\\s\\\\\\x", "\\\\s\\\\x"},
                  {"", ""},
                  {"C:/x//y", "C:/x//y"}, // "/" is no separator here
              });
}

TEST(NormalizePath, PosixKeepsOneLeadingSeparator) {
    ExpectAll(NormalizePath, PathStyle::Posix,
              {
                  {"/home/x//y", "/home/x/y"},
                  {"//x", "/x"},
                  {"///x//y/", "/x/y/"},
                  {"/", "/"},
                  {"////", "/"},
                  {"a///b", "a//b"},
                  {"a////b", "a//b"},
                  {"rel//x", "rel/x"},
                  {"", ""},
                  {"a\\\\b", "a\\\\b"},
              });
}

TEST(WithTrailingSeparator, AddsOneOnlyWhereNoneEnds) {
    ExpectAll(WithTrailingSeparator, PathStyle::Windows,
              {{"C:\\Data", "C:\\Data\\"},
               {"C:\\", "C:\\"},
               {"\\\\server\\share", "\\\\server\\share\\"},
               {"", ""},
               {"C:/Data", "C:/Data\\"}});
    ExpectAll(WithTrailingSeparator, PathStyle::Posix, {{"/srv/data", "/srv/data/"}, {"/", "/"}, {"", ""}});
}

// The window, the stored settings and the command line give a pass the same folder for the same text.
TEST(EnteredFolder, EndsInOneSeparatorWithDoubledOnesCollapsed) {
    ExpectAll(EnteredFolder, PathStyle::Windows,
              {{"C:\\Data", "C:\\Data\\"},
               {"C:\\\\Data\\\\", "C:\\Data\\"},
               {"\\\\server\\share", "\\\\server\\share\\"},
               {"", ""}});
    ExpectAll(EnteredFolder, PathStyle::Posix,
              {{"/srv//data", "/srv/data/"}, {"//srv/data/", "/srv/data/"}, {"/", "/"}, {"rel", "rel/"}});
}

TEST(HasInvalidChars, RefusesControlCharactersQuestionMarkAndBrokenUtf8) {
    const std::pair<std::string, bool> cases[] = {
        {"plain", false},
        {"Ünïcödé 日本 😀", false},
        {"", false},
        {"tab\there", true},
        {std::string("nul\0x", 5), true},
        {"del\x7f", true},
        {"c1\xc2\x80", true},    // U+0080
        {"c1\xc2\x9f", true},    // U+009F
        {"nbsp\xc2\xa0", false}, // U+00A0 is the first character after the C1 controls
        {"what?", true},
        {"star*", false},
        {"bad\xff", true},
        {"cut\xe6\x97", true},      // a sequence that ends too soon
        {"overlong\xc0\xaf", true}, // "/" in two bytes
        {"surrogate\xed\xa0\x80", true},
        {"beyond\xf4\x90\x80\x80", true},
        {"stray\x80", true},
    };
    for (const auto& [name, refused] : cases) {
        EXPECT_EQ(HasInvalidChars(name), refused) << name;
    }
}

} // namespace
} // namespace quillmere
