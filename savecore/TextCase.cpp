#include "TextCase.h"

#include <array>
#include <cstdint>

#include "platform/fs/Utf8.h"

namespace savecore {

namespace {

constexpr char32_t kEscapedByteBase = 0xDC00;

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls
// of the same value, as Windows itself converts them.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t chUpperLatinExtA(char32_t ch) {
    if (ch == 0x0131) return U'I';
    if (ch == 0x017F) return U'S';
    const bool blnOdd = (ch & 1) != 0;
    if ((ch >= 0x0100 && ch <= 0x0137) || (ch >= 0x014A && ch <= 0x0177))
        return blnOdd ? ch - 1 : ch;
    if ((ch >= 0x0139 && ch <= 0x0148) || (ch >= 0x0179 && ch <= 0x017E))
        return blnOdd ? ch : ch - 1;
    return ch;
}

char32_t chUpperGreek(char32_t ch) {
    if (ch == 0x03C2) return 0x03A3;  // final sigma
    if (ch >= 0x03B1 && ch <= 0x03CB) return ch - 0x20;
    if (ch == 0x03AC) return 0x0386;
    if (ch >= 0x03AD && ch <= 0x03AF) return ch - 0x25;
    if (ch == 0x03CC) return 0x038C;
    if (ch == 0x03CD || ch == 0x03CE) return ch - 0x3F;
    return ch;
}

char32_t chUpperCyrillic(char32_t ch) {
    if (ch >= 0x0430 && ch <= 0x044F) return ch - 0x20;
    if (ch >= 0x0450 && ch <= 0x045F) return ch - 0x50;
    const bool blnOdd = (ch & 1) != 0;
    if ((ch >= 0x0460 && ch <= 0x0481) || (ch >= 0x048A && ch <= 0x04BF) ||
        (ch >= 0x04D0 && ch <= 0x04FF))
        return blnOdd ? ch - 1 : ch;
    if (ch >= 0x04C1 && ch <= 0x04CE) return blnOdd ? ch : ch - 1;
    if (ch == 0x04CF) return 0x04C0;
    return ch;
}

bool blnToCp1252(char32_t ch, unsigned char& byte) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        byte = static_cast<unsigned char>(ch);
        return true;
    }
    for (std::size_t k = 0; k < kCp1252High.size(); ++k) {
        if (kCp1252High[k] == ch) {
            byte = static_cast<unsigned char>(0x80 + k);
            return true;
        }
    }
    return false;
}

bool blnHasNonAscii(const std::string& strBytes) {
    for (char ch : strBytes)
        if (static_cast<unsigned char>(ch) >= 0x80) return true;
    return false;
}

}  // namespace

char32_t chNextCodePoint(const std::string& strText, std::size_t& ix) {
    char32_t ch = 0;
    const std::size_t n = platform::fs::Utf8::DecodeOne(strText, ix, ch);
    if (n == 0) {
        ch = kEscapedByteBase + static_cast<unsigned char>(strText[ix]);
        ++ix;
        return ch;
    }
    ix += n;
    return ch;
}

std::vector<char32_t> acpCodePoints(const std::string& strText) {
    std::vector<char32_t> acp;
    acp.reserve(strText.size());
    for (std::size_t ix = 0; ix < strText.size();) acp.push_back(chNextCodePoint(strText, ix));
    return acp;
}

void AppendUtf8(std::string& strOut, char32_t ch) {
    if (ch >= kEscapedByteBase + 0x80 && ch <= kEscapedByteBase + 0xFF)
        strOut += static_cast<char>(ch - kEscapedByteBase);
    else
        platform::fs::Utf8::Append(ch, strOut);
}

char32_t chUpperCase(char32_t ch) {
    if (ch < 0x80) return (ch >= U'a' && ch <= U'z') ? ch - 0x20 : ch;
    if (ch < 0x100) {
        if (ch == 0xFF) return 0x0178;
        if (ch >= 0xE0 && ch != 0xF7) return ch - 0x20;
        return ch;  // includes µ and ß, which have no single capital here
    }
    if (ch < 0x180) return chUpperLatinExtA(ch);
    if (ch >= 0x0370 && ch < 0x0400) return chUpperGreek(ch);
    if (ch >= 0x0400 && ch < 0x0500) return chUpperCyrillic(ch);
    return ch;
}

std::string strUCase(const std::string& strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    for (std::size_t ix = 0; ix < strText.size();) {
        const auto b = static_cast<unsigned char>(strText[ix]);
        if (b < 0x80) {
            strOut += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 0x20) : static_cast<char>(b);
            ++ix;
            continue;
        }
        AppendUtf8(strOut, chUpperCase(chNextCodePoint(strText, ix)));
    }
    return strOut;
}

bool blnIsValidUtf8(const std::string& strBytes) {
    char32_t ch = 0;
    for (std::size_t ix = 0; ix < strBytes.size();) {
        const std::size_t n = platform::fs::Utf8::DecodeOne(strBytes, ix, ch);
        if (n == 0) return false;
        ix += n;
    }
    return true;
}

std::string strFromFileBytes(const std::string& strBytes) {
    if (!blnHasNonAscii(strBytes) || blnIsValidUtf8(strBytes)) return strBytes;
    std::string strOut;
    strOut.reserve(strBytes.size() + strBytes.size() / 2);
    for (char chByte : strBytes) {
        const auto b = static_cast<unsigned char>(chByte);
        AppendUtf8(strOut, (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char32_t{b});
    }
    return strOut;
}

std::string strToFileBytes(const std::string& strText) {
    if (!blnHasNonAscii(strText) || !blnIsValidUtf8(strText)) return strText;
    std::string strOut;
    strOut.reserve(strText.size());
    for (std::size_t ix = 0; ix < strText.size();) {
        unsigned char byte = 0;
        if (!blnToCp1252(chNextCodePoint(strText, ix), byte)) return strText;
        strOut += static_cast<char>(byte);
    }
    // Single-byte text that happens to be valid UTF-8 ("Ã©" is C3 A9) would
    // read back as other characters: keep such text in UTF-8.
    if (blnIsValidUtf8(strOut)) return strText;
    return strOut;
}

}  // namespace savecore
