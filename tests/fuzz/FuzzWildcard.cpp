// The matcher against a plain dynamic-programming reference written from the
// element table: same answer for every name and pattern, the same verdict on
// malformed patterns, and no other exception.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fs/RtError.h"
#include "savecore/TextCase.h"
#include "savecore/Wildcard.h"

namespace {

struct RefElement {
    explicit RefElement(int kind_, char32_t ch_ = 0) : kind(kind_), ch(ch_) {}
    int kind;  // 0 literal, 1 any one, 2 star, 3 digit, 4 list, 5 nothing
    char32_t ch;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

bool blnParse(const std::vector<char32_t>& p, std::vector<RefElement>& out) {
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == U'[') {
            RefElement e(4);
            size_t j = i + 1;
            if (j < p.size() && p[j] == U'!') e.negated = true, ++j;
            while (j < p.size() && p[j] != U']') {
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    if (p[j] > p[j + 2]) return false;
                    e.ranges.push_back({p[j], p[j + 2]});
                    j += 3;
                } else {
                    e.ranges.push_back({p[j], p[j]});
                    ++j;
                }
            }
            if (j >= p.size()) return false;
            if (e.ranges.empty() && !e.negated) e.kind = 5;
            out.push_back(e);
            i = j;
        } else if (p[i] == U'*') {
            out.emplace_back(2);
        } else if (p[i] == U'?') {
            out.emplace_back(1);
        } else if (p[i] == U'#') {
            out.emplace_back(3);
        } else {
            out.emplace_back(0, p[i]);
        }
    }
    return true;
}

bool blnOne(const RefElement& e, char32_t c) {
    switch (e.kind) {
        case 0:
            return c == e.ch;
        case 1:
            return true;
        case 3:
            return c >= U'0' && c <= U'9';
        case 4: {
            bool in = false;
            for (auto& r : e.ranges) in = in || (c >= r.first && c <= r.second);
            return in != e.negated;
        }
        default:
            return false;
    }
}

bool blnReference(const std::vector<char32_t>& n, const std::vector<RefElement>& p) {
    // m[i][j]: elements from i match name from j.
    std::vector<std::vector<char>> m(p.size() + 1, std::vector<char>(n.size() + 1, 0));
    m[p.size()][n.size()] = 1;
    for (size_t i = p.size(); i-- > 0;) {
        for (size_t j = n.size() + 1; j-- > 0;) {
            const RefElement& e = p[i];
            if (e.kind == 2)
                m[i][j] = m[i + 1][j] || (j < n.size() && m[i][j + 1]);
            else if (e.kind == 5)
                m[i][j] = m[i + 1][j];
            else
                m[i][j] = j < n.size() && blnOne(e, n[j]) && m[i + 1][j + 1];
        }
    }
    return m[0][0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lngSize) {
    if (lngSize < 1 || lngSize > 600) return 0;
    const size_t lngPattern = pData[0] % lngSize;
    const std::string strPattern(reinterpret_cast<const char*>(pData + 1), lngPattern);
    const std::string strName(reinterpret_cast<const char*>(pData + 1 + lngPattern),
                              lngSize - 1 - lngPattern);
    std::vector<RefElement> aRef;
    const bool blnValid = blnParse(savecore::acpCodePoints(strPattern), aRef);
    bool blnResult = false;
    try {
        blnResult = savecore::blnLike(strName, strPattern);
    } catch (const platform::RtError& e) {
        if (e.Number() != 93 || blnValid) std::abort();
        return 0;
    }
    if (!blnValid || blnResult != blnReference(savecore::acpCodePoints(strName), aRef))
        std::abort();
    return 0;
}
