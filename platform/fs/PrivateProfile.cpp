// Lines end in LF or CR LF; a UTF-8 byte-order mark is skipped. Blanks and
// tabs around every line, section name, key and value are dropped. Only a
// line whose first non-blank character is ';' is a comment: a ';' later in
// a line belongs to the value. A section line without ']' names the rest of
// the line. Of two sections with one name only the first is read; in a
// section the first line with the key wins. A key line without '=' has an
// empty value. Names compare without ASCII letter case. Sizes count bytes;
// a cut never splits a UTF-8 sequence.
#include "PrivateProfile.h"

#include <cctype>
#include <string_view>

#include "FileSystem.h"
#include "RtError.h"

namespace platform::fs {

namespace {

std::string_view Trimmed(std::string_view svText) {
    const auto lngFirst = svText.find_first_not_of(" \t");
    if (lngFirst == std::string_view::npos) return {};
    return svText.substr(lngFirst, svText.find_last_not_of(" \t") - lngFirst + 1);
}

bool blnSameName(std::string_view svA, std::string_view svB) {
    if (svA.size() != svB.size()) return false;
    for (std::size_t i = 0; i < svA.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(svA[i])) !=
            std::tolower(static_cast<unsigned char>(svB[i])))
            return false;
    return true;
}

std::string_view Unquoted(std::string_view svValue) {
    if (svValue.size() >= 2 && (svValue.front() == '"' || svValue.front() == '\'') &&
        svValue.back() == svValue.front())
        return svValue.substr(1, svValue.size() - 2);
    return svValue;
}

// At most nSize - 1 bytes, backed off to the start of a UTF-8 sequence.
std::string CutToBuffer(std::string_view svValue, std::size_t nSize) {
    if (nSize == 0) return {};
    if (svValue.size() <= nSize - 1) return std::string(svValue);
    std::size_t lngLen = nSize - 1;
    while (lngLen > 0 && (static_cast<unsigned char>(svValue[lngLen]) & 0xC0) == 0x80) --lngLen;
    return std::string(svValue.substr(0, lngLen));
}

// Finds the key in the first section of that name; svValue views strText.
bool blnFindValue(std::string_view svText, std::string_view svSection, std::string_view svKey,
                  std::string_view& svValue) {
    if (svText.substr(0, 3) == "\xEF\xBB\xBF") svText.remove_prefix(3);
    bool blnInSection = false;
    bool blnSectionSeen = false;
    while (!svText.empty()) {
        const auto lngEol = svText.find('\n');
        std::string_view svLine = svText.substr(0, lngEol);
        svText.remove_prefix(lngEol == std::string_view::npos ? svText.size() : lngEol + 1);
        if (!svLine.empty() && svLine.back() == '\r') svLine.remove_suffix(1);
        svLine = Trimmed(svLine);
        if (svLine.empty() || svLine.front() == ';') continue;
        if (svLine.front() == '[') {
            if (blnInSection) return false;  // the first section of that name has ended
            const auto svName = Trimmed(svLine.substr(1, svLine.find(']') - 1));
            blnInSection = !blnSectionSeen && blnSameName(svName, svSection);
            blnSectionSeen = blnSectionSeen || blnInSection;
            continue;
        }
        if (!blnInSection) continue;
        const auto lngEq = svLine.find('=');
        if (!blnSameName(Trimmed(svLine.substr(0, lngEq)), svKey)) continue;
        svValue = lngEq == std::string_view::npos ? std::string_view()
                                                  : Unquoted(Trimmed(svLine.substr(lngEq + 1)));
        return true;
    }
    return false;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& strSection, const std::string& strKey,
                                    const std::string& strDefault, std::size_t nSize,
                                    const std::string& strFileName, const FileSystem& objFileSys) {
    std::string strText;
    try {
        strText = objFileSys.ReadFile(strFileName);
    } catch (const RtError&) {
        // A file that is missing or cannot be read has no keys.
    }
    return GetPrivateProfileStringFromText(strSection, strKey, strDefault, nSize, strText);
}

std::string GetPrivateProfileStringFromText(const std::string& strSection,
                                            const std::string& strKey,
                                            const std::string& strDefault, std::size_t nSize,
                                            const std::string& strText) {
    std::string_view svValue;
    if (blnFindValue(strText, Trimmed(strSection), Trimmed(strKey), svValue))
        return CutToBuffer(svValue, nSize);
    // As on Windows, trailing blanks of the default are dropped.
    std::string_view svDefault = strDefault;
    svDefault = svDefault.substr(0, svDefault.find_last_not_of(' ') + 1);
    return CutToBuffer(svDefault, nSize);
}

}  // namespace platform::fs
