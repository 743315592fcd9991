// How a host file name (any bytes but '/' and NUL) becomes a Windows name
// and back, and how Windows names compare without letter case.
//
// A Windows path cannot carry a backslash inside a name, nor bytes that are
// not UTF-8. Such names are mapped into the private-use area: a backslash
// becomes U+F05C, each byte of an invalid UTF-8 sequence becomes U+F200 plus
// the byte. A literal private-use character of that range in a host name is
// itself written as its escaped bytes, so the mapping is reversible.
#pragma once

#include <string>
#include <string_view>

namespace platform::fs {

class HostNames {
  public:
    // Host name (raw bytes) -> Windows name (valid UTF-8, no backslash).
    static std::string ToWindowsName(std::string_view hostName);
    // Windows name (one path segment) -> host name bytes.
    static std::string ToHostName(std::string_view winName);

    // The name folded for comparison without letter case: ASCII, Latin-1,
    // Latin Extended-A, Greek and Cyrillic letters fold; invalid bytes stay.
    static std::string Fold(std::string_view name);
    static bool EqualNoCase(std::string_view a, std::string_view b);
    // Fold(ToWindowsName(hostName)) == folded, without building either for
    // a plain ASCII name, as a search through a listing meets it.
    static bool HostNameFoldsTo(std::string_view hostName, std::string_view folded);

    // VB's wildcard match without letter case: '*' any run, '?' any one
    // character; "*.*" matches every name.
    static bool MatchesPattern(std::string_view name, std::string_view pattern);
};

}  // namespace platform::fs
