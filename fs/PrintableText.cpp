// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/PrintableText.h"

#include "fs/Utf8.h"

#include <cstdio>

namespace quillmere {

namespace {

// Characters a terminal or a reader may take for the end of a line, or for a command.
bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    for (const char byte : bytes) {
        switch (byte) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(byte));
            out += hex;
        }
        }
    }
}

} // namespace

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const auto codePoint = NextCodePoint(text, pos);
        if (!codePoint) {
            AppendEscaped(out, text.substr(pos++, 1));
        } else if (IsControl(*codePoint)) {
            AppendEscaped(out, text.substr(start, pos - start));
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    return out;
}

std::string NotCopiedRecord(std::string_view source, std::string_view destination, std::string_view cause) {
    return "failed " + Printable(source) + " -> " + Printable(destination) + ": " + Printable(cause);
}

std::string NotReadRecord(std::string_view path, std::string_view cause) {
    return "not read " + Printable(path) + ": " + Printable(cause);
}

std::string NotKeptRecord(std::string_view destination, std::string_view cause) {
    return "not kept " + Printable(destination) + ": " + Printable(cause);
}

} // namespace quillmere
