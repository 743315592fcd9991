// The private-profile (INI file) reader with the Windows reader's rules:
// section and key names compare without letter case, blanks around keys and
// values are dropped, a value wholly in matching quotes loses them, ';'
// lines are comments, and the value is cut to the caller's buffer (at most
// nSize - 1 characters). A missing file, section or key gives strDefault.
#pragma once

#include <cstddef>
#include <string>

namespace platform::fs {

class FileSystem;

// strFileName is a Windows path of objFileSys.
std::string GetPrivateProfileString(const std::string& strSection, const std::string& strKey,
                                    const std::string& strDefault, std::size_t nSize,
                                    const std::string& strFileName, const FileSystem& objFileSys);

// The same rules applied to text already read (used by the reader and tests).
std::string GetPrivateProfileStringFromText(const std::string& strSection,
                                            const std::string& strKey,
                                            const std::string& strDefault, std::size_t nSize,
                                            const std::string& strText);

}  // namespace platform::fs
