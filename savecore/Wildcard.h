// The wildcard matcher of file lists and suppress patterns (VB's Like with
// binary comparison), character by character on UTF-8 code points:
//
//   ?        any one character
//   *        zero or more characters
//   #        any one digit 0-9
//   [list]   any one character of the list; ranges low-high (A-Z); the
//            characters [ ? # * stand for themselves inside; a hyphen first
//            or last in the list is itself
//   [!list]  any one character not in the list ([!] is any one character)
//   []       matches nothing (zero characters), as in VB
//   other    itself (case-sensitive; callers upper-case names and patterns)
//
// The whole name must match; an empty pattern matches only an empty name.
// A bracket that is never closed, or a range whose low end lies above its
// high end, makes the pattern invalid: RtError 93 "Invalid pattern string",
// raised whatever the name, so a bad pattern never passes as a mismatch.
//
// Matching takes at most (name length x pattern length) steps: a star keeps
// one resume point only, never a stack of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SaveCoreExport.h"

namespace savecore {

inline constexpr int32_t glngINVALID_PATTERN = 93;

class SAVECORE_API Wildcard {
  public:
    // Throws RtError 93 for an invalid pattern.
    explicit Wildcard(const std::string& strPattern);

    bool blnMatches(const std::string& strName) const;
    bool blnMatches(const std::vector<char32_t>& acpName) const;

  private:
    enum class Kind : uint8_t { Literal, AnyOne, AnyRun, Digit, List };
    struct Range {
        char32_t chLow;
        char32_t chHigh;
    };
    struct Element {
        Kind kind;
        char32_t chCode = 0;        // Literal
        bool blnNegated = false;    // List
        std::size_t ixRanges = 0;   // List: first of its ranges in maRanges
        std::size_t lngRanges = 0;  // List: number of ranges
    };

    void Compile(const std::vector<char32_t>& acpPattern);
    std::size_t ixCompileList(const std::vector<char32_t>& acpPattern, std::size_t ix);
    bool blnElementMatches(const Element& el, char32_t ch) const;

    std::vector<Element> maElements;
    std::vector<Range> maRanges;
};

// One-off match: Wildcard(strPattern).blnMatches(strName).
SAVECORE_API bool blnLike(const std::string& strName, const std::string& strPattern);

}  // namespace savecore
