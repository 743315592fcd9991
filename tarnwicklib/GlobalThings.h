// Stateless helpers for paths, private-profile settings files and list-box
// tab stops. One object is made at library start (SharedData).
//
// Strings are UTF-8; positions and lengths count bytes, 1-based. Every
// separator looked for is ASCII, so a position always falls on a character
// boundary and can be used with substr. Letter case is compared for ASCII
// letters only. A position past 32,767 overflows (error 6).
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
    GlobalThings();  // starts the library in this thread on first use

    // Tab stops in dialog units; each element must fit a 32-bit integer
    // (else overflow 6). An empty array passes no stops, which a list box
    // takes as a stop every 32 dialog units. A refusal fails with "Unable
    // to set list box tabs".
    void ListBoxSetTabStops(platform::ui::ListBoxControl& objListBox,
                            const std::vector<int64_t>& vntTabs);
    std::string strGetIniString(const std::string& strSection, const std::string& strKeyword,
                                const std::string& strIniFile);
    // The count converts as CInt does: blanks around it are allowed, a
    // fraction rounds half to even, a blank or non-numeric count is a type
    // mismatch (13), one outside 16 bits an overflow (6).
    std::string strGetIniDescription(const std::string& strIniSection, const std::string& strCount,
                                     const std::string& strPrefix, const std::string& strIniFile);
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
