// The program's constants and the small text helpers every window uses.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwickbackup {

// Message-box title, and the application name the settings are kept under.
inline constexpr const char* gstrAPP_TITLE = "Tarnwick Backup";
inline constexpr const char* gstrAPP_NAME = "Tarnwick Backup";
inline constexpr const char* gstrPRODUCT_TITLE = "Vantrel (Made Simple)";
inline constexpr const char* gstrVERSION = "3.0";
inline constexpr const char* gstrCOMPANY_NAME = "Tarnwick Software";
// The help file and the window type it opens in.
inline constexpr const char* gstrHELP_FILE = "TarnwickBackup.hlp>Normal";

// Help context numbers of the windows.
inline constexpr int32_t glngHELP_MAIN = 1000;
inline constexpr int32_t glngHELP_EDIT_FOLDERS = 2000;
inline constexpr int32_t glngHELP_EDIT_DRIVES = 2001;
inline constexpr int32_t glngHELP_FOLDER_ADVANCED = 2002;
inline constexpr int32_t glngHELP_RESTORE = 3000;
inline constexpr int32_t glngHELP_BACKUP_MODE = 4001;

// Settings sections.
inline constexpr const char* gstrSECTION_DESTINATIONS = "Destinations";
inline constexpr const char* gstrSECTION_GENERAL = "General";
inline constexpr const char* gstrSECTION_BACKUP_MODE_ARGS = "BackupModeArgs";
inline constexpr const char* gstrSECTION_ALWAYS_SHOW = "AlwaysShow";

// The options of the last backup ("BackupModeArgs"): keys and the values
// read when a key is absent. One set for the whole program.
struct BackupModeArg {
    const char* pszKey;
    const char* pszDefault;
};
inline constexpr BackupModeArg gaBACKUP_MODE_ARGS[] = {
    {"Mode", "All"},           {"NumberOfDays", "90"},    {"IncludeArchive", "False"},
    {"ClearArchive", "False"}, {"ClearArchiveDays", "0"}, {"MakeDatedBackup", "False"},
};

// The destination-form test: not empty, a colon as second character and a
// backslash as last one. It does not look at the disk.
bool blnIsDestForm(const std::string& strDest);

// UCase and LCase of the program (the engine's case table for UCase).
std::string strUCase(const std::string& strText);
std::string strLCase(const std::string& strText);

}  // namespace tarnwickbackup
