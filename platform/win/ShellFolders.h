// The shell's special folders, shell links and short paths. Startup is the
// freedesktop autostart folder; Start Menu and Programs are the applications
// folder. The user's folders lie below $XDG_CONFIG_HOME and $XDG_DATA_HOME,
// the all-users ones below the machine root (Locations.h). A shell link is a
// .desktop entry saved under the link's name with ".lnk" replaced by
// ".desktop".
#pragma once

#include <string>

#include "platform/win/WinTypes.h"

namespace platform::win {

inline constexpr int CSIDL_PROGRAMS = 0x0002;
inline constexpr int CSIDL_STARTUP = 0x0007;
inline constexpr int CSIDL_STARTMENU = 0x000b;
inline constexpr int CSIDL_COMMON_STARTMENU = 0x0016;
inline constexpr int CSIDL_COMMON_PROGRAMS = 0x0017;
inline constexpr int CSIDL_COMMON_STARTUP = 0x0018;

// The folder of a CSIDL value, made (with its parents) when blnCreate; false
// for an unknown value or a folder that is missing or cannot be made.
bool SHGetSpecialFolderPath(int lngFolder, std::string* pstrPath, bool blnCreate);

// Paths have no other short form here: the path itself when it exists, ""
// when it does not.
std::string strShortPath(const std::string& strPath);
// The temporary folder, with a trailing slash.
std::string strTempPath();

struct ShellLink {
    std::string strTarget;       // the program
    std::string strArguments;    // a Windows command-line tail, e.g. "-v"
    std::string strDescription;  // shown as the entry's comment
    std::string strWorkingFolder;
};

// The file a link named strLinkPath is saved as (".lnk" -> ".desktop").
std::string strLinkFile(const std::string& strLinkPath);
// The .desktop text of a link named strName.
std::string strDesktopEntry(const std::string& strName, const ShellLink& link);
// Saves the link in one step (temporary file and rename). S_OK, or the
// Win32 code as HRESULT (3 folder missing, 5 access denied).
HRESULT SaveShellLink(const std::string& strLinkPath, const ShellLink& link);

}  // namespace platform::win
