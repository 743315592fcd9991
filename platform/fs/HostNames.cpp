#include "platform/fs/HostNames.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/fs/Utf8.h"

namespace platform::fs {

namespace {

constexpr char32_t kBackslashStandIn = 0xF05C;
constexpr char32_t kByteStandInBase = 0xF200;  // U+F200..U+F2FF, bytes 0x80..0xFF used

bool IsReserved(char32_t cp) {
    return cp == kBackslashStandIn || (cp >= kByteStandInBase && cp <= kByteStandInBase + 0xFF);
}

// ASCII without a backslash: the same bytes as a host and as a Windows name.
bool IsPlain(std::string_view name) {
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\') return false;
    return true;
}

char32_t FoldOne(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) return 'i';
        if (c == 0x178) return 0xFF;
        const bool evenUpper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (evenUpper && c % 2 == 0) return c + 1;
        if (oddUpper && c % 2 == 1) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    return c;
}

// Folded code points; an invalid byte is kept as a value above U+10FFFF so it
// only ever equals the same byte.
std::vector<char32_t> FoldedCodePoints(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t len = Utf8::DecodeOne(s, i, cp);
        if (len == 0) {
            out.push_back(0x110000 + static_cast<unsigned char>(s[i]));
            ++i;
        } else {
            out.push_back(FoldOne(cp));
            i += len;
        }
    }
    return out;
}

}  // namespace

std::string HostNames::ToWindowsName(std::string_view hostName) {
    if (IsPlain(hostName)) return std::string(hostName);  // nearly every name
    std::string out;
    out.reserve(hostName.size());
    for (std::size_t i = 0; i < hostName.size();) {
        if (hostName[i] == '\\') {
            Utf8::Append(kBackslashStandIn, out);
            ++i;
            continue;
        }
        char32_t cp;
        const std::size_t len = Utf8::DecodeOne(hostName, i, cp);
        if (len == 0 || IsReserved(cp)) {
            const std::size_t n = len == 0 ? 1 : len;
            for (std::size_t k = 0; k < n; ++k)
                Utf8::Append(kByteStandInBase + static_cast<unsigned char>(hostName[i + k]), out);
            i += n;
        } else {
            out.append(hostName.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string HostNames::ToHostName(std::string_view winName) {
    std::string out;
    out.reserve(winName.size());
    for (std::size_t i = 0; i < winName.size();) {
        char32_t cp;
        const std::size_t len = Utf8::DecodeOne(winName, i, cp);
        if (len == 0) {
            out += winName[i++];
        } else if (cp == kBackslashStandIn) {
            out += '\\';
            i += len;
        } else if (cp >= kByteStandInBase + 0x80 && cp <= kByteStandInBase + 0xFF) {
            out += static_cast<char>(cp - kByteStandInBase);
            i += len;
        } else {
            out.append(winName.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string HostNames::Fold(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp;
        const std::size_t len = Utf8::DecodeOne(name, i, cp);
        if (len == 0) {
            out += name[i++];
        } else {
            Utf8::Append(FoldOne(cp), out);
            i += len;
        }
    }
    return out;
}

bool HostNames::HostNameFoldsTo(std::string_view hostName, std::string_view folded) {
    if (!IsPlain(hostName)) return Fold(ToWindowsName(hostName)) == folded;
    if (hostName.size() != folded.size()) return false;
    for (std::size_t i = 0; i < hostName.size(); ++i) {
        const char c = hostName[i];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != folded[i]) return false;
    }
    return true;
}

bool HostNames::EqualNoCase(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return FoldedCodePoints(a) == FoldedCodePoints(b);
}

bool HostNames::MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    const std::vector<char32_t> n = FoldedCodePoints(name);
    const std::vector<char32_t> p = FoldedCodePoints(pattern);
    std::size_t ni = 0, pi = 0;
    std::size_t starP = SIZE_MAX, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni, ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != SIZE_MAX) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace platform::fs
