// SPDX-License-Identifier: GPL-3.0-or-later
// The little UTF-8 decoding the file helpers need: counting characters and testing names.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quillmere {

// The code point that starts at pos, pos moved past it; no value (pos unchanged) for bytes that are not
// well-formed UTF-8 (overlong forms, surrogates and values above U+10FFFF included).
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos);

// The number of characters of text; a byte that is not well-formed UTF-8 counts as one character.
std::size_t CountCharacters(std::string_view text);

} // namespace quillmere
