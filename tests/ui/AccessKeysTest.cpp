// SPDX-License-Identifier: GPL-3.0-or-later
// Access keys: one key a caption, no two captions shown at once on the same key, and every caption shown as written.
#include "ui/main/AccessKeys.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace quillmere {
namespace {

char KeyOf(std::string_view marked) {
    const auto mark = marked.find('&');
    return mark == std::string_view::npos || mark + 1 == marked.size()
               ? '\0'
               : static_cast<char>(std::tolower(static_cast<unsigned char>(marked[mark + 1])));
}

// The Auto Sync button shows one of its two captions at a time: they may share a key.
TEST(AccessKeysTest, EachCaptionHasOneKeyAndNoOtherControlHasIt) {
    std::map<char, std::string> owners;
    for (std::string_view marked : MarkedCaptions()) {
        const char key = KeyOf(marked);
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(key))) << marked;
        EXPECT_EQ(marked.find('&', marked.find('&') + 1), std::string_view::npos) << "one mark only: " << marked;
        const std::string owner =
            ShownCaption(marked).starts_with("Turn O") ? "the Auto Sync button" : std::string(marked);
        const auto [place, fresh] = owners.emplace(key, owner);
        EXPECT_TRUE(fresh || place->second == owner) << key << " is taken by " << place->second << ": " << marked;
    }
}

TEST(AccessKeysTest, CaptionsShowAsWrittenMarkedOrNot) {
    const std::pair<std::string, std::string> cases[] = {
        {"1. Choose Folder 1", "&1. Choose Folder 1"},
        {"Turn Off Auto Sync", "Turn Off &Auto Sync"},
        {"Sync Options", "Sync Options"},  // a caption without a key
        {"Copy & paste", "Copy && paste"}, // an "&" of its own is no mark
        {"", ""},
    };
    for (const auto& [caption, marked] : cases) {
        EXPECT_EQ(WithAccessKey(caption), marked) << caption;
        EXPECT_EQ(ShownCaption(WithAccessKey(caption)), caption) << caption;
    }
    for (std::string_view each : MarkedCaptions()) {
        EXPECT_EQ(WithAccessKey(ShownCaption(each)), each);
    }
}

} // namespace
} // namespace quillmere
