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
// A topic of our own for the instruction listing.
inline constexpr int32_t glngHELP_DEF_LIST = 2003;
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

// A decimal number that may carry a sign, a fraction and an exponent
// ("7", "-2", "+1.5", ".5", "3e2"); nothing else, not even blanks.
bool blnIsNumeric(const std::string& strText);
// A numeric text as a 32-bit whole number: the nearest one, halves to the
// even neighbour ("2.5" is 2, "3.5" is 4). A text that is not numeric is a
// type mismatch (13), a number beyond 32 bits an overflow (6).
int32_t lngCLng(const std::string& strText);
// A number of days: numeric, and not below 0 once converted (a day count
// below 0 selects no file at all). Beyond 32 bits it is lngCLng's overflow.
bool blnIsDayCount(const std::string& strText);
// Blanks off both ends (VB's Trim: the space character only).
std::string strTrim(const std::string& strText);

// The exit status of the program after an unattended backup.
inline constexpr int glngEXIT_CLEAN = 0;    // ran, nothing was logged
inline constexpr int glngEXIT_LOGGED = 1;   // ran, the engine logged errors
inline constexpr int glngEXIT_STOPPED = 2;  // stopped, or did not start
inline constexpr int glngEXIT_FAILED = 3;   // ended with an error report

// UCase and LCase of the program (the engine's case table for UCase).
std::string strUCase(const std::string& strText);
std::string strLCase(const std::string& strText);

}  // namespace tarnwickbackup
