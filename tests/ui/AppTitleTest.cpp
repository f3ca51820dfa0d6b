// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/AppTitle.h"

#include <gtest/gtest.h>

#include <utility>

namespace quillmere {
namespace {

TEST(AppTitleFromProductName, CutsTheLastWordThenWhileLongerThanForty) {
    const std::pair<const char*, const char*> cases[] = {
        {"Quillmere Folder Sync", "Quillmere Folder"}, // the first cut always happens
        {"Quillmere", "Quillmere"},                    // no blank: kept whole
        {"", ""},
        {"A B ", "A B"}, // a trailing blank ends an empty word
        {"Quillmere keeps two folders in step for you every day", "Quillmere keeps two folders in step for"},
        {"Forty characters exactly here is it okay xyz", "Forty characters exactly here is it okay"},
        {"Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa b c", "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
        {"Ünïcödé ünïcödé ünïcödé ünïcödé ünïcödé x y", "Ünïcödé ünïcödé ünïcödé ünïcödé ünïcödé"}, // counts characters
    };
    for (const auto& [name, title] : cases) {
        EXPECT_EQ(AppTitleFromProductName(name), title) << name;
    }
}

} // namespace
} // namespace quillmere
