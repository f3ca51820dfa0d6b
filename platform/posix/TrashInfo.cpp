// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TrashInfo.h"

#include <array>
#include <cstdio>

namespace quillmere::platform::posix {

namespace {

constexpr std::size_t kMaxNameBytes = 255;
// Longer "extensions" are no extensions, and keeping them whole could leave no room for the stem.
constexpr std::size_t kMaxExtensionBytes = 16;

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

std::string TrashInfoText(std::string_view originalPath, const std::tm& deletionTime) {
    std::array<char, 32> date{};
    std::strftime(date.data(), date.size(), "%Y-%m-%dT%H:%M:%S", &deletionTime);
    return "[Trash Info]\nPath=" + EscapeTrashPath(originalPath) + "\nDeletionDate=" + date.data() + "\n";
}

std::string CandidateTrashName(std::string_view name, int attempt) {
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > 0 && name.size() - dot <= kMaxExtensionBytes;
    const std::string_view stem = hasExtension ? name.substr(0, dot) : name;
    const std::string_view extension = hasExtension ? name.substr(dot) : std::string_view();
    const std::string number = attempt > 1 ? "_" + std::to_string(attempt) : std::string();
    const std::size_t room = kMaxNameBytes - kTrashInfoSuffix.size() - number.size() - extension.size();
    return std::string(CutAtCharacter(stem, room)) + number + std::string(extension);
}

} // namespace quillmere::platform::posix
