// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/Utf8.h"

namespace quillmere {

namespace {

struct LeadByte {
    std::size_t length;
    char32_t bits;
    char32_t minimum; // smaller values are overlong forms
};

std::optional<LeadByte> ReadLeadByte(unsigned char byte) {
    if (byte < 0x80) {
        return LeadByte{1, byte, 0};
    }
    if ((byte & 0xE0) == 0xC0) {
        return LeadByte{2, static_cast<char32_t>(byte & 0x1F), 0x80};
    }
    if ((byte & 0xF0) == 0xE0) {
        return LeadByte{3, static_cast<char32_t>(byte & 0x0F), 0x800};
    }
    if ((byte & 0xF8) == 0xF0) {
        return LeadByte{4, static_cast<char32_t>(byte & 0x07), 0x10000};
    }
    return std::nullopt;
}

} // namespace

std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = ReadLeadByte(static_cast<unsigned char>(text[pos]));
    if (!lead || pos + lead->length > text.size()) {
        return std::nullopt;
    }
    char32_t value = lead->bits;
    for (std::size_t i = 1; i < lead->length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < lead->minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += lead->length;
    return value;
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        if (!NextCodePoint(text, pos)) {
            ++pos;
        }
    }
    return count;
}

} // namespace quillmere
