// Where a host folder really is, and how a drive of the table names it. Two
// Windows paths can name one host folder (through another drive letter or a
// link), so whatever must tell folders apart compares these, not spellings.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform::fs {

class HostFolder {
  public:
    // The real path: links and dots resolved for the part that exists, the
    // rest of the names appended as they are; no trailing slash.
    static std::string Real(const std::filesystem::path& host);
    // The part of strFolder below strRoot ("" for the root itself), or
    // nothing when strFolder does not lie below strRoot. Both are real paths.
    static std::optional<std::string> Below(const std::string& strFolder,
                                            const std::string& strRoot);
    // The Windows path of a folder strRelative (host names, '/' between
    // them) below the root of drive chLetter: "C:\" for the root itself.
    static std::string WindowsPathOf(char chLetter, const std::string& strRelative);
};

}  // namespace platform::fs
