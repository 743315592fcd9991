#include "platform/fs/WinPath.h"

#include <algorithm>

#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

bool IsLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

char Upper(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch;
}

}  // namespace

std::optional<char> WinPath::DriveLetterOf(const std::string& strDriveSpec) {
    if (strDriveSpec.empty() || !IsLetter(strDriveSpec[0])) return std::nullopt;
    if (strDriveSpec.size() > 1 && strDriveSpec[1] != ':') return std::nullopt;
    return Upper(strDriveSpec[0]);
}

WinPath WinPath::Parse(const std::string& strPath) {
    if (strPath.size() < 2 || !IsLetter(strPath[0]) || strPath[1] != ':' ||
        strPath.find('\0') != std::string::npos)
        throw RtError(rt::kBadFileName);
    WinPath result;
    result.mchLetter = Upper(strPath[0]);
    std::string strName;
    auto flush = [&]() {
        if (strName.empty() || strName == ".") {
        } else if (strName == "..") {
            if (result.mastrNames.empty()) throw RtError(rt::kPathNotFound);
            result.mastrNames.pop_back();
        } else {
            result.mastrNames.push_back(strName);
        }
        strName.clear();
    };
    for (std::size_t i = 2; i < strPath.size(); ++i) {
        const char ch = strPath[i];
        if (ch == '\\' || ch == '/')
            flush();
        else
            strName += ch;
    }
    flush();
    return result;
}

std::string WinPath::CanonicalFolder(const std::string& strFolder) {
    if (strFolder.size() < 2 || !IsLetter(strFolder[0]) || strFolder[1] != ':') return strFolder;
    std::vector<std::string> astrNames;
    std::size_t pos = 2;
    while (pos <= strFolder.size()) {
        const std::size_t end = std::min(strFolder.find_first_of("\\/", pos), strFolder.size());
        const std::string strName = strFolder.substr(pos, end - pos);
        if (strName == "..") {
            if (!astrNames.empty()) astrNames.pop_back();
        } else if (!strName.empty() && strName != ".") {
            astrNames.push_back(strName);
        }
        pos = end + 1;
    }
    std::string strResult = strFolder.substr(0, 2) + "\\";
    for (const std::string& strName : astrNames) strResult += strName + "\\";
    return strResult;
}

WinPath WinPath::Parent() const {
    WinPath p = *this;
    if (!p.mastrNames.empty()) p.mastrNames.pop_back();
    return p;
}

WinPath WinPath::Child(const std::string& strName) const {
    // Sized once: a listing makes a path for every entry.
    WinPath p;
    p.mchLetter = mchLetter;
    p.mastrNames.reserve(mastrNames.size() + 1);
    p.mastrNames = mastrNames;
    p.mastrNames.push_back(strName);
    return p;
}

std::string WinPath::ToString() const {
    std::string s(1, mchLetter);
    s += ":\\";
    for (std::size_t i = 0; i < mastrNames.size(); ++i) {
        if (i) s += '\\';
        s += mastrNames[i];
    }
    return s;
}

}  // namespace platform::fs
