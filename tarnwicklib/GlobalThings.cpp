#include "GlobalThings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "LibraryData.h"
#include "ModuleErrors.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/PrivateProfile.h"
#include "platform/fs/RtError.h"
#include "platform/ui/ListBoxControl.h"

namespace tarnwick {

namespace {

using platform::RtError;

constexpr std::size_t kIniBufferSize = 150;
constexpr std::size_t kMaxPieceGap = 60;

[[noreturn]] void NestedError(const std::string& strName) {
    TwLibErrors().NestedError("GlobalThings." + strName);
}

// A 1-based position as the 16-bit result; past 32,767 it overflows.
int16_t intPosition(std::size_t lngPos) {
    if (lngPos > static_cast<std::size_t>(std::numeric_limits<int16_t>::max()))
        throw RtError(platform::rt::kOverflow);
    return static_cast<int16_t>(lngPos);
}

std::string strLowerAscii(std::string strText) {
    for (char& ch : strText) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return strText;
}

// A string to a 16-bit integer as CInt converts it: blanks around the
// number are allowed, &H and &O give hexadecimal and octal, a fraction rounds
// half to even, anything else is a type mismatch, and out of range overflows.
int16_t intCInt(const std::string& strValue) {
    const auto lngFirst = strValue.find_first_not_of(" \t");
    if (lngFirst == std::string::npos) throw RtError(platform::rt::kTypeMismatch);
    std::string strNum = strValue.substr(lngFirst, strValue.find_last_not_of(" \t") - lngFirst + 1);

    double dblValue = 0;
    if (strNum.size() > 2 && strNum[0] == '&' &&
        (std::toupper(static_cast<unsigned char>(strNum[1])) == 'H' ||
         std::toupper(static_cast<unsigned char>(strNum[1])) == 'O')) {
        const int lngBase = std::toupper(static_cast<unsigned char>(strNum[1])) == 'H' ? 16 : 8;
        uint32_t lngBits = 0;
        const char* pEnd = strNum.data() + strNum.size();
        const auto res = std::from_chars(strNum.data() + 2, pEnd, lngBits, lngBase);
        if (res.ec == std::errc::result_out_of_range) throw RtError(platform::rt::kOverflow);
        if (res.ec != std::errc() || res.ptr != pEnd) throw RtError(platform::rt::kTypeMismatch);
        // Up to four digits are a 16-bit pattern (&HFFFF is -1).
        if (lngBits > 0xFFFF) throw RtError(platform::rt::kOverflow);
        return static_cast<int16_t>(static_cast<uint16_t>(lngBits));
    }
    bool blnNegative = false;
    std::size_t lngStart = 0;
    if (strNum[0] == '+' || strNum[0] == '-') {
        blnNegative = strNum[0] == '-';
        lngStart = 1;
    }
    const char* pBegin = strNum.data() + lngStart;
    const char* pEnd = strNum.data() + strNum.size();
    if (pBegin == pEnd || !(std::isdigit(static_cast<unsigned char>(*pBegin)) || *pBegin == '.'))
        throw RtError(platform::rt::kTypeMismatch);
    const auto res = std::from_chars(pBegin, pEnd, dblValue);
    if (res.ec == std::errc::result_out_of_range) throw RtError(platform::rt::kOverflow);
    if (res.ec != std::errc() || res.ptr != pEnd || !std::isfinite(dblValue))
        throw RtError(platform::rt::kTypeMismatch);
    if (blnNegative) dblValue = -dblValue;
    const double dblRounded = std::nearbyint(dblValue);  // the default mode rounds half to even
    if (dblRounded < std::numeric_limits<int16_t>::min() ||
        dblRounded > std::numeric_limits<int16_t>::max())
        throw RtError(platform::rt::kOverflow);
    return static_cast<int16_t>(dblRounded);
}

// The next blank after 1-based position lngAfter; 0 when there is none.
std::size_t lngNextBlank(const std::string& strText, std::size_t lngAfter) {
    const auto lngPos = strText.find(' ', lngAfter);
    return lngPos == std::string::npos ? 0 : lngPos + 1;
}

}  // namespace

GlobalThings::GlobalThings() {
    StartedLibraryData();
}

void GlobalThings::ListBoxSetTabStops(platform::ui::ListBoxControl& objListBox,
                                      const std::vector<int64_t>& vntTabs) {
    try {
        std::vector<int32_t> alngTabs;
        alngTabs.reserve(vntTabs.size());
        for (const int64_t vntTab : vntTabs) {
            if (vntTab < std::numeric_limits<int32_t>::min() ||
                vntTab > std::numeric_limits<int32_t>::max())
                throw RtError(platform::rt::kOverflow);
            alngTabs.push_back(static_cast<int32_t>(vntTab));
        }
        if (objListBox.SetTabStops(alngTabs) == 0)
            TwLibErrors().RaiseError("Unable to set list box tabs");
    } catch (...) {
        NestedError("ListBoxSetTabStops");
    }
}

std::string GlobalThings::strGetIniString(const std::string& strSection,
                                          const std::string& strKeyword,
                                          const std::string& strIniFile) {
    try {
        return platform::fs::GetPrivateProfileString(strSection, strKeyword, "", kIniBufferSize,
                                                     strIniFile, platform::fs::ProcessFileSystem());
    } catch (...) {
        NestedError("strGetIniString");
    }
}

std::string GlobalThings::strGetIniDescription(const std::string& strIniSection,
                                               const std::string& strCount,
                                               const std::string& strPrefix,
                                               const std::string& strIniFile) {
    try {
        const int16_t n = intCInt(strGetIniString(strIniSection, strCount, strIniFile));
        std::string strText;
        for (int i = 1; i <= n; ++i) {
            strText += strGetIniString(strIniSection, strPrefix + std::to_string(i), strIniFile);
            if (i != n) strText += ' ';
        }
        return strText;
    } catch (...) {
        NestedError("strGetIniDescription( " + strIniFile + ")");
    }
}

void GlobalThings::PrintIniDescription(std::vector<std::string>& astrLines,
                                       const std::string& strCount, const std::string& strPrefix,
                                       const std::string& strDescription) {
    try {
        if (astrLines.empty()) throw RtError(platform::rt::kSubscriptOutOfRange);
        const std::size_t lngLen = strDescription.size();
        int k = 0;
        std::size_t lngStart = 1;
        do {
            std::size_t lngEnd = lngStart - 1;
            std::string strPiece;
            for (;;) {
                const std::size_t c = lngNextBlank(strDescription, lngEnd);
                if (c == 0) {
                    strPiece = strDescription.substr(lngStart - 1);
                    lngStart = lngLen + 1;
                    break;
                }
                if (c - lngStart <= kMaxPieceGap) {
                    lngEnd = c;
                    continue;
                }
                if (lngEnd <= lngStart) lngEnd = c;  // one word longer than the limit
                strPiece = strDescription.substr(lngStart - 1, lngEnd - lngStart);
                lngStart = lngEnd + 1;
                break;
            }
            ++k;
            astrLines.push_back(strPrefix + std::to_string(k) + "=" + strPiece);
        } while (lngStart <= lngLen);
        astrLines.push_back(strCount + "=" + std::to_string(k));
    } catch (...) {
        NestedError("PrintIniDescription");
    }
}

bool GlobalThings::blnFileExists(const std::string& strFile) {
    try {
        platform::fs::ProcessFileSystem().FileLen(strFile);
        return true;
    } catch (...) {
        return false;
    }
}

int16_t GlobalThings::intPathLen(const std::string& strFile) {
    const auto lngPos = strFile.find_last_of("\\/:");
    return lngPos == std::string::npos ? 0 : intPosition(lngPos + 1);
}

std::string GlobalThings::strBareName(const std::string& strFile) {
    return strFile.substr(static_cast<std::size_t>(intPathLen(strFile)));
}

std::string GlobalThings::strBarePath(const std::string& strFile) {
    return strFile.substr(0, static_cast<std::size_t>(intPathLen(strFile)));
}

std::string GlobalThings::strAddPathSlash(const std::string& strPath) {
    if (!strPath.empty() && strPath.back() == '\\') return strPath;
    return strPath + '\\';
}

std::string GlobalThings::strRelativePath(const std::string& strAbsPath,
                                          const std::string& strAbsFile) {
    std::string strBase = strLowerAscii(strAddPathSlash(strAbsPath));
    const std::string strLowerFile = strLowerAscii(strAbsFile);
    std::string strPrefix;
    for (;;) {
        if (strLowerFile.compare(0, strBase.size(), strBase) == 0)
            return strPrefix + strAbsFile.substr(std::min(strBase.size(), strAbsFile.size()));
        std::size_t n = strBase.size() - 1;  // 1-based position len - 1
        while (n >= 1 && strBase[n - 1] != '\\' && strBase[n - 1] != ':') --n;
        if (n < 1 || strBase[n - 1] == ':') return strAbsFile;
        strBase.resize(n);
        strPrefix += "..\\";
    }
}

std::string GlobalThings::strAddPath(const std::string& strAbsPath, const std::string& strFile) {
    if ((strFile.size() >= 2 && strFile[1] == ':') || (!strFile.empty() && strFile[0] == '\\'))
        return strFile;
    return strAddPathSlash(strAbsPath) + strFile;
}

int16_t GlobalThings::intFileTypePos(const std::string& strFile) {
    const auto lngPos = strFile.rfind('.');
    return intPosition(lngPos == std::string::npos ? strFile.size() + 1 : lngPos + 1);
}

}  // namespace tarnwick
