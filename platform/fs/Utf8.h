// Strict UTF-8, one code point at a time: no overlong forms, no surrogates,
// nothing past U+10FFFF. Host names and the engine's texts are read and
// written with it, so both agree on what is valid. Inline: it runs for
// every character of every name that is not plain ASCII.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::fs {

class Utf8 {
  public:
    // The length of the sequence at i, its code point in cp; 0 (cp
    // untouched) when the bytes at i are not valid UTF-8.
    static std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& cp) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            cp = b0;
            return 1;
        }
        std::size_t len;
        char32_t code;
        char32_t min;
        if ((b0 & 0xE0) == 0xC0) {
            len = 2, code = b0 & 0x1F, min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3, code = b0 & 0x0F, min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4, code = b0 & 0x07, min = 0x10000;
        } else {
            return 0;
        }
        if (i + len > s.size()) return 0;
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return 0;
            code = (code << 6) | (b & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
        cp = code;
        return len;
    }

    // Appends the code point cp (at most U+10FFFF).
    static void Append(char32_t cp, std::string& out) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
};

}  // namespace platform::fs
