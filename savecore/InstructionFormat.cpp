#include "InstructionFormat.h"

#include <string_view>

#include "TextCase.h"

namespace savecore {

namespace {

constexpr const char* kHeader = ";Backup type definition file";
constexpr const char* kCrLf = "\r\n";

std::string strTrimBlanks(std::string_view sv) {
    const std::size_t ixFirst = sv.find_first_not_of(' ');
    if (ixFirst == std::string_view::npos) return {};
    const std::size_t ixLast = sv.find_last_not_of(' ');
    return std::string(sv.substr(ixFirst, ixLast - ixFirst + 1));
}

void Append(std::optional<PatternList>& colList, std::string strPattern) {
    if (!colList) colList.emplace();
    colList->push_back(std::move(strPattern));
}

// False when the keyword is not an instruction.
bool blnApplyLine(const std::string& strLine, Instructions& objOut) {
    const std::size_t ixBlank = strLine.find(' ');
    const std::string_view svLine(strLine);
    const std::string_view svKeyword = svLine.substr(0, ixBlank);
    const std::string strArgument =
        ixBlank == std::string::npos ? std::string() : strTrimBlanks(svLine.substr(ixBlank + 1));
    if (svKeyword == "INCLUDEFAMILY") {
        objOut.blnIncludeFamily = true;
    } else if (svKeyword == "EXCLUDEFAMILY") {
        objOut.blnExcludeFamily = true;
    } else if (svKeyword == "SKIPFAMILY") {
        objOut.blnSkipFamily = true;
    } else if (svKeyword == "SUPPRESSPATTERN") {
        objOut.strSuppressPattern = strArgument;
    } else if (svKeyword == "INCLUDEFILES") {
        Append(objOut.colIncludeFiles, strArgument);
    } else if (svKeyword == "EXCLUDEFILES") {
        Append(objOut.colExcludeFiles, strArgument);
    } else {
        return false;
    }
    return true;
}

void WriteLine(std::string& strOut, const std::string& strLine) {
    strOut += strLine;
    strOut += kCrLf;
}

}  // namespace

InstructionReadResult ReadInstructions(const std::string& strFileBytes) {
    InstructionReadResult objResult;
    const std::string strText = strFromFileBytes(strFileBytes);
    std::size_t ixStart = 0;
    while (ixStart < strText.size()) {
        std::size_t ixEnd = strText.find_first_of("\r\n", ixStart);
        std::size_t ixNext = ixEnd;
        if (ixEnd == std::string::npos) {
            ixEnd = ixNext = strText.size();
        } else {
            ++ixNext;
            if (strText[ixEnd] == '\r' && ixNext < strText.size() && strText[ixNext] == '\n')
                ++ixNext;
        }
        const std::string strLine = strUCase(strText.substr(ixStart, ixEnd - ixStart));
        ixStart = ixNext;
        if (strLine.empty() || strLine[0] == ';') continue;
        if (!blnApplyLine(strLine, objResult.objInstructions)) {
            objResult.blnUnrecognized = true;
            break;
        }
    }
    return objResult;
}

std::string strWriteInstructions(const Instructions& objIn) {
    std::string strText;
    WriteLine(strText, kHeader);
    if (objIn.blnIncludeFamily) WriteLine(strText, "IncludeFamily");
    if (objIn.blnExcludeFamily) WriteLine(strText, "ExcludeFamily");
    if (!objIn.strSuppressPattern.empty())
        WriteLine(strText, "SuppressPattern " + objIn.strSuppressPattern);
    if (objIn.blnSkipFamily) WriteLine(strText, "SkipFamily");
    if (objIn.colIncludeFiles)
        for (const std::string& strPattern : *objIn.colIncludeFiles)
            WriteLine(strText, "IncludeFiles " + strPattern);
    if (objIn.colExcludeFiles)
        for (const std::string& strPattern : *objIn.colExcludeFiles)
            WriteLine(strText, "ExcludeFiles " + strPattern);
    return strToFileBytes(strText);
}

bool blnPatternWritable(const std::string& strPattern) {
    return strPattern.find_first_of("\r\n") == std::string::npos;
}

}  // namespace savecore
