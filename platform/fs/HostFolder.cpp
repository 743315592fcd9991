#include "platform/fs/HostFolder.h"

#include <algorithm>
#include <system_error>

#include "platform/fs/HostNames.h"

namespace platform::fs {

std::string HostFolder::Real(const std::filesystem::path& host) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::weakly_canonical(host, ec);
    if (ec) full = std::filesystem::absolute(host, ec).lexically_normal();
    std::string s = full.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::optional<std::string> HostFolder::Below(const std::string& strFolder,
                                             const std::string& strRoot) {
    if (strRoot == "/") return strFolder == "/" ? std::string() : strFolder.substr(1);
    if (strFolder == strRoot) return std::string();
    if (strFolder.size() > strRoot.size() && strFolder.compare(0, strRoot.size(), strRoot) == 0 &&
        strFolder[strRoot.size()] == '/')
        return strFolder.substr(strRoot.size() + 1);
    return std::nullopt;
}

std::string HostFolder::WindowsPathOf(char chLetter, const std::string& strRelative) {
    std::string strPath(1, chLetter);
    strPath += ':';
    if (strRelative.empty()) return strPath + '\\';
    for (std::size_t pos = 0; pos <= strRelative.size();) {
        const std::size_t next = std::min(strRelative.find('/', pos), strRelative.size());
        strPath += '\\' + HostNames::ToWindowsName(strRelative.substr(pos, next - pos));
        pos = next + 1;
    }
    return strPath;
}

}  // namespace platform::fs
