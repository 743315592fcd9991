// Stateless helpers for paths, private-profile settings files and list-box
// tab stops. One object is made at library start (SharedData).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TarnwickLibExport.h"

namespace platform::ui {
class ListBoxControl;
}

namespace tarnwick {

class TWLIB_API GlobalThings {
public:
    // Tab stops in dialog units; each element must fit a 32-bit integer.
    void ListBoxSetTabStops(platform::ui::ListBoxControl& objListBox,
                            const std::vector<int64_t>& vntTabs);
    std::string strGetIniString(const std::string& strSection, const std::string& strKeyword,
                                const std::string& strIniFile);
    std::string strGetIniDescription(const std::string& strIniSection,
                                     const std::string& strCount, const std::string& strPrefix,
                                     const std::string& strIniFile);
    // astrLines is 1-based: element 0 is unused and its presence gives the
    // array its bounds; an empty vector has none and fails.
    void PrintIniDescription(std::vector<std::string>& astrLines, const std::string& strCount,
                             const std::string& strPrefix, const std::string& strDescription);
    bool blnFileExists(const std::string& strFile);
    int16_t intPathLen(const std::string& strFile);
    std::string strBareName(const std::string& strFile);
    std::string strBarePath(const std::string& strFile);
    std::string strAddPathSlash(const std::string& strPath);
    std::string strRelativePath(const std::string& strAbsPath, const std::string& strAbsFile);
    std::string strAddPath(const std::string& strAbsPath, const std::string& strFile);
    int16_t intFileTypePos(const std::string& strFile);
};

}  // namespace tarnwick
