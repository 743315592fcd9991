#include "Locations.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform::win {
namespace {

std::string strAbsEnv(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0] == '/' ? std::string(v) : std::string();
}

std::string strHome() {
    std::string h = strAbsEnv("HOME");
    if (!h.empty()) return h;
    const passwd* pw = getpwuid(geteuid());
    return pw && pw->pw_dir ? pw->pw_dir : "/";
}

}  // namespace

std::string strJoin(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const bool slashA = a.back() == '/';
    const bool slashB = b.front() == '/';
    if (slashA && slashB) return a + b.substr(1);
    if (slashA || slashB) return a + b;
    return a + "/" + b;
}

bool blnMakeFolders(const std::string& strPath, unsigned mode) {
    if (strPath.empty()) return false;
    std::string::size_type pos = 1;
    while (true) {
        pos = strPath.find('/', pos);
        const std::string part = strPath.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (pos == std::string::npos) break;
        ++pos;
    }
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string strMachineRoot() {
    std::string r = strAbsEnv("NOTAVEX_MACHINE_ROOT");
    return r.empty() ? "/" : r;
}

std::string strWindowsFolder() {
    return strJoin(strMachineRoot(), "var/lib/notavex");
}
std::string strMachineHivePath() {
    return strJoin(strWindowsFolder(), "machine.reg");
}
std::string strDefaultProgramFiles() {
    return strJoin(strMachineRoot(), "opt");
}

std::string strUserConfigHome() {
    std::string c = strAbsEnv("XDG_CONFIG_HOME");
    return c.empty() ? strJoin(strHome(), ".config") : c;
}

std::string strUserDataHome() {
    std::string d = strAbsEnv("XDG_DATA_HOME");
    return d.empty() ? strJoin(strHome(), ".local/share") : d;
}

std::string strUserHivePath() {
    return strJoin(strUserConfigHome(), "notavex/user.reg");
}

std::string strTempFolder() {
    std::string t = strAbsEnv("TMPDIR");
    return t.empty() ? "/tmp" : t;
}

std::string strRuntimeDir() {
    std::string r = strAbsEnv("XDG_RUNTIME_DIR");
    if (!r.empty()) return r;
    // Without a session's runtime folder: a private one in the temporary
    // folder, created here so nobody else can make it first.
    r = strJoin(strTempFolder(), "notavex-" + std::to_string(geteuid()));
    mkdir(r.c_str(), 0700);
    return r;
}

std::string strBrowserOpener() {
    const char* v = std::getenv("NOTAVEX_BROWSER");
    return v && *v ? std::string(v) : std::string("xdg-open");
}

std::string strProgramFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string p(buf, static_cast<std::size_t>(n));
    const auto slash = p.rfind('/');
    return slash == 0 ? "/" : p.substr(0, slash);
}

}  // namespace platform::win
