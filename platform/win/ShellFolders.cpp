#include "ShellFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/HiveText.h"
#include "platform/win/Locations.h"
#include "platform/win/Process.h"

namespace platform::win {
namespace {

constexpr int32_t ERROR_PATH_NOT_FOUND = 3;

// Escapes of the format's string values: backslash and line breaks.
std::string strEscapeValue(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

// One argument of Exec: quoted when it holds a reserved character, with ",
// `, $ and \ escaped inside the quotes; % doubled (field codes).
std::string strExecArgument(const std::string& a) {
    std::string out;
    const bool quote = a.empty() || a.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    if (quote) out.push_back('"');
    for (char c : a) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out.push_back('\\');
        if (c == '%') out.push_back('%');
        out.push_back(c);
    }
    if (quote) out.push_back('"');
    return out;
}

}  // namespace

bool SHGetSpecialFolderPath(int lngFolder, std::string* pstrPath, bool blnCreate) {
    std::string path;
    switch (lngFolder) {
        case CSIDL_STARTUP:
            path = strJoin(strUserConfigHome(), "autostart");
            break;
        case CSIDL_STARTMENU:
        case CSIDL_PROGRAMS:
            path = strJoin(strUserDataHome(), "applications");
            break;
        case CSIDL_COMMON_STARTUP:
            path = strJoin(strMachineRoot(), "etc/xdg/autostart");
            break;
        case CSIDL_COMMON_STARTMENU:
        case CSIDL_COMMON_PROGRAMS:
            path = strJoin(strMachineRoot(), "usr/local/share/applications");
            break;
        default:
            return false;
    }
    struct stat st {};
    const bool ok =
        blnCreate ? blnMakeFolders(path) : stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (ok && pstrPath) *pstrPath = path;
    return ok;
}

std::string strShortPath(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 ? strPath : std::string();
}

std::string strTempPath() {
    return strJoin(strTempFolder(), "/");
}

std::string strLinkFile(const std::string& strLinkPath) {
    const std::string ext = ".lnk";
    if (strLinkPath.size() > ext.size() &&
        blnSameName(std::string_view(strLinkPath).substr(strLinkPath.size() - ext.size()), ext))
        return strLinkPath.substr(0, strLinkPath.size() - ext.size()) + ".desktop";
    return strLinkPath;
}

std::string strDesktopEntry(const std::string& strName, const ShellLink& link) {
    std::string exec = strExecArgument(link.strTarget);
    const auto args = SplitCommandLine("x " + link.strArguments);
    for (std::size_t i = 1; i < args.size(); ++i) exec += " " + strExecArgument(args[i]);
    std::string out = "[Desktop Entry]\nType=Application\n";
    out += "Name=" + strEscapeValue(strName) + "\n";
    if (!link.strDescription.empty())
        out += "Comment=" + strEscapeValue(link.strDescription) + "\n";
    out += "Exec=" + strEscapeValue(exec) + "\n";
    if (!link.strWorkingFolder.empty())
        out += "Path=" + strEscapeValue(link.strWorkingFolder) + "\n";
    return out;
}

HRESULT SaveShellLink(const std::string& strLinkPath, const ShellLink& link) {
    const std::string file = strLinkFile(strLinkPath);
    const auto slash = file.rfind('/');
    if (slash == std::string::npos) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    std::string name = file.substr(slash + 1);
    const std::string ext = ".desktop";
    if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
        name.resize(name.size() - ext.size());
    const std::string text = strDesktopEntry(name, link);
    std::string temp = file.substr(0, slash) + "/.link-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return HRESULT_FROM_WIN32(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                                      : ERROR_ACCESS_DENIED);
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
              fchmod(fd, 0644) == 0;
    close(fd);
    ok = ok && rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    }
    return S_OK;
}

}  // namespace platform::win
