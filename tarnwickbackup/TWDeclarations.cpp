#include "TWDeclarations.h"

#include <locale.h>

#include <QString>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/fs/RtError.h"
#include "savecore/TextCase.h"

namespace tarnwickbackup {

bool blnIsDestForm(const std::string& strDest) {
    return strDest.size() >= 2 && strDest[1] == ':' && strDest.back() == '\\';
}

namespace {

bool blnIsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Skips digits from ix; returns how many there were.
std::size_t lngSkipDigits(const std::string& s, std::size_t& ix) {
    const std::size_t ixStart = ix;
    while (ix < s.size() && blnIsDigit(s[ix])) ++ix;
    return ix - ixStart;
}

}  // namespace

bool blnIsNumeric(const std::string& strText) {
    std::size_t ix = 0;
    if (ix < strText.size() && (strText[ix] == '+' || strText[ix] == '-')) ++ix;
    std::size_t lngDigits = lngSkipDigits(strText, ix);
    if (ix < strText.size() && strText[ix] == '.') {
        ++ix;
        lngDigits += lngSkipDigits(strText, ix);
    }
    if (lngDigits == 0) return false;
    if (ix < strText.size() && (strText[ix] == 'e' || strText[ix] == 'E')) {
        ++ix;
        if (ix < strText.size() && (strText[ix] == '+' || strText[ix] == '-')) ++ix;
        if (lngSkipDigits(strText, ix) == 0) return false;
    }
    return ix == strText.size();
}

int32_t lngCLng(const std::string& strText) {
    if (!blnIsNumeric(strText)) throw platform::RtError(platform::rt::kTypeMismatch);
    // Read in the C locale: the user's locale must not change what a
    // decimal point is. Overflow gives infinity, underflow next to zero.
    static const locale_t locC = newlocale(LC_ALL_MASK, "C", locale_t{});
    const double dblValue = strtod_l(strText.c_str(), nullptr, locC);
    // The default rounding mode rounds halves to the even neighbour.
    const double dblWhole = std::nearbyint(dblValue);
    if (dblWhole < std::numeric_limits<int32_t>::min() ||
        dblWhole > std::numeric_limits<int32_t>::max())
        throw platform::RtError(platform::rt::kOverflow);
    return static_cast<int32_t>(dblWhole);
}

bool blnIsDayCount(const std::string& strText) {
    return blnIsNumeric(strText) && lngCLng(strText) >= 0;
}

std::string strTrim(const std::string& strText) {
    const std::size_t ixFirst = strText.find_first_not_of(' ');
    if (ixFirst == std::string::npos) return "";
    return strText.substr(ixFirst, strText.find_last_not_of(' ') - ixFirst + 1);
}

std::string strUCase(const std::string& strText) {
    return savecore::strUCase(strText);
}

std::string strLCase(const std::string& strText) {
    return QString::fromStdString(strText).toLower().toStdString();
}

}  // namespace tarnwickbackup
