// Files deleted (or moved) at the next system start, because a program
// still holds them now. NT keeps the list in the machine hive's value
// PendingFileRenameOperations (pairs of source and target, target "" for a
// deletion); the 9x family keeps "NUL=path" lines in the [rename] section of
// WININIT.INI in the Windows folder. The start-up program (tools/
// nvrestartops, run once by a service unit) carries out both lists.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform::win {

class Registry;

inline constexpr uint32_t MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr uint32_t MOVEFILE_DELAY_UNTIL_REBOOT = 0x4;
inline constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr char kPendingValue[] = "PendingFileRenameOperations";

// pstrNew null deletes. With MOVEFILE_DELAY_UNTIL_REBOOT the operation is
// added to the pending list (in one locked step, so none is lost); without
// it, it happens now.
bool MoveFileEx(Registry& registry, const std::string& strExisting, const std::string* pstrNew,
                uint32_t lngFlags);

// The pending list as pairs, read from the REG_MULTI_SZ bytes.
std::vector<std::pair<std::string, std::string>> PendingPairs(const std::string& multiSz);

// WININIT.INI in the Windows folder.
std::string strWinInitPath();
// The lines of a section, each followed by a NUL and the whole by another,
// cut to lngMaxChars as Windows cuts; returns the characters given back
// without the final NUL. A missing file or section gives "".
uint32_t GetPrivateProfileSection(const std::string& strSection, std::string* pstrEntries,
                                  uint32_t lngMaxChars, const std::string& strFile);
// Replaces the section's lines (NUL-separated, as read) in one step, or adds
// the section at the end.
bool WritePrivateProfileSection(const std::string& strSection, const std::string& strEntries,
                                const std::string& strFile);

// Deletes a file or empty folder, or renames one, without following
// symbolic links anywhere in either path. "" on success (a missing source
// counts as done for a deletion), else what went wrong.
std::string strDeleteNoFollow(const std::string& strPath);
std::string strRenameNoFollow(const std::string& strFrom, const std::string& strTo);

// What the start-up program does: carries out both lists and clears them.
// Returns the lines it has to report (one per failure).
std::vector<std::string> RunPendingOperations(Registry& registry);

}  // namespace platform::win
