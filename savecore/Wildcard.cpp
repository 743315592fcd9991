#include "Wildcard.h"

#include "TextCase.h"
#include "platform/fs/RtError.h"

namespace savecore {

namespace {

[[noreturn]] void RaiseInvalidPattern() {
    throw platform::RtError(glngINVALID_PATTERN, "Invalid pattern string");
}

}  // namespace

Wildcard::Wildcard(const std::string& strPattern) {
    Compile(acpCodePoints(strPattern));
}

void Wildcard::Compile(const std::vector<char32_t>& acpPattern) {
    for (std::size_t ix = 0; ix < acpPattern.size();) {
        const char32_t ch = acpPattern[ix];
        if (ch == U'[') {
            ix = ixCompileList(acpPattern, ix + 1);
            continue;
        }
        if (ch == U'*') {
            // A run of stars is one star; keeping one keeps the match linear.
            if (maElements.empty() || maElements.back().kind != Kind::AnyRun)
                maElements.push_back({Kind::AnyRun});
        } else if (ch == U'?') {
            maElements.push_back({Kind::AnyOne});
        } else if (ch == U'#') {
            maElements.push_back({Kind::Digit});
        } else {
            maElements.push_back({Kind::Literal, ch});
        }
        ++ix;
    }
}

// ix is just past the opening bracket; returns the index past the closing one.
std::size_t Wildcard::ixCompileList(const std::vector<char32_t>& acpPattern, std::size_t ix) {
    Element el{Kind::List};
    if (ix < acpPattern.size() && acpPattern[ix] == U'!') {
        el.blnNegated = true;
        ++ix;
    }
    el.ixRanges = maRanges.size();
    while (ix < acpPattern.size() && acpPattern[ix] != U']') {
        const char32_t chLow = acpPattern[ix];
        if (ix + 2 < acpPattern.size() && acpPattern[ix + 1] == U'-' &&
            acpPattern[ix + 2] != U']') {
            const char32_t chHigh = acpPattern[ix + 2];
            if (chLow > chHigh) RaiseInvalidPattern();
            maRanges.push_back({chLow, chHigh});
            ix += 3;
        } else {
            maRanges.push_back({chLow, chLow});
            ++ix;
        }
    }
    if (ix >= acpPattern.size()) RaiseInvalidPattern();
    el.lngRanges = maRanges.size() - el.ixRanges;
    // "[]" stands for no character at all; it adds nothing to match.
    if (el.lngRanges > 0 || el.blnNegated) maElements.push_back(el);
    return ix + 1;
}

bool Wildcard::blnElementMatches(const Element& el, char32_t ch) const {
    switch (el.kind) {
        case Kind::Literal:
            return ch == el.chCode;
        case Kind::AnyOne:
            return true;
        case Kind::Digit:
            return ch >= U'0' && ch <= U'9';
        case Kind::List: {
            bool blnFound = false;
            for (std::size_t k = el.ixRanges; k < el.ixRanges + el.lngRanges && !blnFound; ++k)
                blnFound = ch >= maRanges[k].chLow && ch <= maRanges[k].chHigh;
            return blnFound != el.blnNegated;
        }
        case Kind::AnyRun:
            break;
    }
    return false;
}

bool Wildcard::blnMatches(const std::string& strName) const {
    return blnMatches(acpCodePoints(strName));
}

bool Wildcard::blnMatches(const std::vector<char32_t>& acpName) const {
    // Every element but the star takes exactly one character, so on a
    // mismatch it is enough to let the latest star take one more character.
    constexpr std::size_t kNoStar = static_cast<std::size_t>(-1);
    std::size_t ixEl = 0;
    std::size_t ixName = 0;
    std::size_t ixStarEl = kNoStar;
    std::size_t ixStarName = 0;
    while (ixName < acpName.size()) {
        if (ixEl < maElements.size() && maElements[ixEl].kind == Kind::AnyRun) {
            ixStarEl = ixEl++;
            ixStarName = ixName;
        } else if (ixEl < maElements.size() &&
                   blnElementMatches(maElements[ixEl], acpName[ixName])) {
            ++ixEl;
            ++ixName;
        } else if (ixStarEl != kNoStar) {
            ixEl = ixStarEl + 1;
            ixName = ++ixStarName;
        } else {
            return false;
        }
    }
    while (ixEl < maElements.size() && maElements[ixEl].kind == Kind::AnyRun) ++ixEl;
    return ixEl == maElements.size();
}

bool blnLike(const std::string& strName, const std::string& strPattern) {
    return Wildcard(strPattern).blnMatches(strName);
}

}  // namespace savecore
