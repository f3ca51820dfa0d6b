// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TrashInfo.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace quillmere::platform::posix {

namespace {

constexpr std::size_t kMaxNameBytes = 255;
// Longer "extensions" are no extensions, and keeping them whole could leave no room for the stem.
constexpr std::size_t kMaxExtensionBytes = 16;
constexpr std::string_view kKeptAtKey = "X-Quillmere-KeptAt=";
constexpr std::string_view kGroup = "[Trash Info]\n";

bool StaysUnescaped(unsigned char c) {
    constexpr std::string_view kMarks = "-_.!~*'()/";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// text cut to at most bytes, backing off so that no UTF-8 character is split.
std::string_view CutAtCharacter(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    while (bytes > 0 && IsUtf8Continuation(text[bytes])) {
        --bytes;
    }
    return text.substr(0, bytes);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The value of the line "key..." in text (key ends in "="), which must end with a newline: a line cut short is
// no line.
std::optional<std::string_view> LineValue(std::string_view text, std::string_view key) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view line = text.substr(at, end - at);
        if (line.starts_with(key)) {
            return line.substr(key.size());
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::optional<std::int64_t> NumberOf(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? std::optional(value)
                                                                                     : std::nullopt;
}

// The stem and the extension of name, as the trash names it takes keep them apart.
std::pair<std::string_view, std::string_view> StemAndExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > 0 && name.size() - dot <= kMaxExtensionBytes;
    return hasExtension ? std::pair(name.substr(0, dot), name.substr(dot)) : std::pair(name, std::string_view());
}

// stem + "_" + suffix + extension, the stem shortened so that the name with ".trashinfo" fits in one name.
std::string NameWithSuffix(std::string_view name, const std::string& suffix) {
    const auto [stem, extension] = StemAndExtension(name);
    const std::string number = suffix.empty() ? std::string() : "_" + suffix;
    const std::size_t room = kMaxNameBytes - kTrashInfoSuffix.size() - number.size() - extension.size();
    return std::string(CutAtCharacter(stem, room)) + number + std::string(extension);
}

// The longest suffix a trash name takes: "_" and 16 hexadecimal digits.
constexpr std::size_t kLongestSuffix = 17;

std::string Hex16(std::uint64_t value) {
    std::array<char, 17> text{};
    std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(value));
    return text.data();
}

} // namespace

std::string EscapeTrashPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysUnescaped(byte)) {
            escaped += c;
        } else {
            escaped += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        }
    }
    return escaped;
}

std::optional<std::string> UnescapeTrashPath(std::string_view escaped) {
    std::string path;
    path.reserve(escaped.size());
    for (std::size_t at = 0; at < escaped.size(); ++at) {
        if (escaped[at] != '%') {
            path += escaped[at];
            continue;
        }
        const int high = at + 2 < escaped.size() ? HexValue(escaped[at + 1]) : -1;
        const int low = high >= 0 ? HexValue(escaped[at + 2]) : -1;
        if (low < 0) {
            return std::nullopt;
        }
        path += static_cast<char>(high * 16 + low);
        at += 2;
    }
    return path;
}

std::string TrashInfoText(std::string_view originalPath, const std::tm& deletionTime, std::int64_t keptAt) {
    std::array<char, 32> date{};
    std::strftime(date.data(), date.size(), "%Y-%m-%dT%H:%M:%S", &deletionTime);
    return std::string(kGroup) + "Path=" + EscapeTrashPath(originalPath) + "\nDeletionDate=" + date.data() + "\n" +
           std::string(kKeptAtKey) + std::to_string(keptAt) + "\n";
}

std::optional<TrashInfoFields> ParseTrashInfo(std::string_view text) {
    if (!text.starts_with(kGroup) || !LineValue(text, "DeletionDate=")) {
        return std::nullopt;
    }
    const std::optional<std::string_view> escaped = LineValue(text, "Path=");
    std::optional<std::string> path = escaped ? UnescapeTrashPath(*escaped) : std::nullopt;
    if (!path || path->empty()) {
        return std::nullopt;
    }
    const std::optional<std::string_view> keptAt = LineValue(text, kKeptAtKey);
    return TrashInfoFields{std::move(*path), keptAt ? NumberOf(*keptAt) : std::nullopt};
}

std::string CandidateTrashName(std::string_view name, int attempt) {
    return NameWithSuffix(name, attempt > 1 ? std::to_string(attempt) : std::string());
}

std::string UniqueTrashName(std::string_view name, std::uint64_t unique) {
    return NameWithSuffix(name, Hex16(unique));
}

std::string TrashNamePrefix(std::string_view name) {
    const auto [stem, extension] = StemAndExtension(name);
    return std::string(
        CutAtCharacter(stem, kMaxNameBytes - kTrashInfoSuffix.size() - kLongestSuffix - extension.size()));
}

bool IsCandidateTrashName(std::string_view trashName, std::string_view name) {
    if (trashName == CandidateTrashName(name, 1)) {
        return true;
    }
    const std::string_view extension = StemAndExtension(name).second;
    if (!trashName.ends_with(extension)) {
        return false;
    }
    const std::string_view body = trashName.substr(0, trashName.size() - extension.size());
    const auto underscore = body.rfind('_');
    if (underscore == std::string_view::npos) {
        return false;
    }
    const std::string suffix(body.substr(underscore + 1));
    if (suffix.size() == 16 && suffix.find_first_not_of("0123456789abcdef") == std::string::npos) {
        return trashName == NameWithSuffix(name, suffix);
    }
    const std::optional<std::int64_t> number = NumberOf(suffix);
    return number && *number > 1 && std::to_string(*number) == suffix && trashName == NameWithSuffix(name, suffix);
}

} // namespace quillmere::platform::posix
