// Where the annotator's services keep things. Every location comes from the
// environment, so tests and trial runs live in temporary folders and never
// touch the real desktop; the defaults are the ones a Linux user expects.
#pragma once

#include <string>

namespace platform::win {

// NOTAVEX_MACHINE_ROOT when set to an absolute path, else "/": a prefix put
// in front of every machine-wide location below.
std::string strMachineRoot();
// The machine's "Windows folder": the machine hive and WININIT.INI live here
// (<root>/var/lib/notavex).
std::string strWindowsFolder();
std::string strMachineHivePath();  // <windows folder>/machine.reg
// <root>/opt: what the registry's ProgramFilesDir holds until changed.
std::string strDefaultProgramFiles();

// $XDG_CONFIG_HOME (absolute) else ~/.config; $XDG_DATA_HOME else
// ~/.local/share.
std::string strUserConfigHome();
std::string strUserDataHome();
std::string strUserHivePath();  // <config>/notavex/user.reg

// $XDG_RUNTIME_DIR (absolute) else a private <temp>/notavex-<uid>; window
// classes are sockets in its subfolder "notavex".
std::string strRuntimeDir();
// $TMPDIR (absolute) else /tmp.
std::string strTempFolder();
// $NOTAVEX_BROWSER else "xdg-open": the program that opens web addresses.
std::string strBrowserOpener();

// The folder of the running program (no trailing slash).
std::string strProgramFolder();

// a + "/" + b without doubling the slash.
std::string strJoin(const std::string& a, const std::string& b);
// Creates a folder and its parents; false when that fails.
bool blnMakeFolders(const std::string& strPath, unsigned mode = 0755);

}  // namespace platform::win
