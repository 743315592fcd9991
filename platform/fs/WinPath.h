// A Windows path taken apart: drive letter and the names below the root,
// with "." and ".." already resolved. ".." never climbs above the drive's
// root: such a path is "Path not found" (76), so no host path is ever
// formed outside the drive's folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::fs {

class WinPath {
  public:
    // "C:\Data\a.txt", "c:/data", "C:" and "C:\" are accepted; both slashes
    // separate names and empty names are dropped. No drive letter or a NUL
    // character: 52; ".." above the root: 76.
    static WinPath Parse(const std::string& strPath);
    // The upper-case letter of "C", "c:", "C:\..." or nothing.
    static std::optional<char> DriveLetterOf(const std::string& strDriveSpec);
    // One spelling for each folder a user can type: the letter and colon as
    // given, then the names separated by single backslashes, and a trailing
    // backslash ("c:/a//./b\..\" is "c:\a\"). ".." stops at the root, as
    // Windows does, rather than failing. Text without a drive letter comes
    // back unchanged, so the caller's own test of the form refuses it.
    static std::string CanonicalFolder(const std::string& strFolder);
    // Whether the text ends in a separator, so that it names a folder ("C:\Data\").
    static bool EndsInSeparator(const std::string& strPath) {
        return !strPath.empty() && (strPath.back() == '\\' || strPath.back() == '/');
    }

    char Letter() const { return mchLetter; }
    const std::vector<std::string>& Names() const { return mastrNames; }
    bool IsRoot() const { return mastrNames.empty(); }
    WinPath Parent() const;  // the root's parent is the root
    WinPath Child(const std::string& strName) const;
    // "C:\" for the root, "C:\Data\a.txt" otherwise.
    std::string ToString() const;

  private:
    char mchLetter = 'C';
    std::vector<std::string> mastrNames;
};

}  // namespace platform::fs
