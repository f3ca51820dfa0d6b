// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TemporaryName.h"

namespace quillmere::platform {

namespace {

constexpr std::string_view kPrefix = "~quillmere-";
constexpr std::string_view kSuffix = ".partial";
constexpr std::size_t kLongestUnique = 40;

bool IsUniquePart(std::string_view text) {
    if (text.empty() || text.size() > kLongestUnique) {
        return false;
    }
    for (const char c : text) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '-') {
            return false;
        }
    }
    return true;
}

} // namespace

bool TakesNoPart(std::string_view name) {
    return name.starts_with('~');
}

std::string TemporaryName(std::string_view unique) {
    return std::string(kPrefix) + std::string(unique) + std::string(kSuffix);
}

bool IsTemporaryName(std::string_view name) {
    return !UniquePartOf(name).empty();
}

std::string_view UniquePartOf(std::string_view name) {
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix) || name.size() < kPrefix.size() + kSuffix.size()) {
        return {};
    }
    const std::string_view unique = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    return IsUniquePart(unique) ? unique : std::string_view();
}

} // namespace quillmere::platform
