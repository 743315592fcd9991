#include "Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/win/HiveText.h"
#include "platform/win/Locations.h"

namespace platform::win {
namespace {

bool blnBlank(char c) {
    return c == ' ' || c == '\t';
}

bool blnExecutable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool blnEndsExe(const std::string& s) {
    return s.size() > 4 && blnSameName(std::string_view(s).substr(s.size() - 4), ".exe");
}

// name or name-without-.exe in folder, exactly first, then without case.
std::string strFindIn(const std::string& folder, const std::string& name) {
    std::vector<std::string> wanted{name};
    if (blnEndsExe(name)) wanted.push_back(name.substr(0, name.size() - 4));
    for (const auto& w : wanted)
        if (blnExecutable(strJoin(folder, w))) return strJoin(folder, w);
    DIR* d = opendir(folder.c_str());
    if (!d) return "";
    std::string found;
    while (const dirent* e = readdir(d)) {
        for (const auto& w : wanted) {
            if (blnSameName(e->d_name, w) && blnExecutable(strJoin(folder, e->d_name))) {
                found = strJoin(folder, e->d_name);
                break;
            }
        }
        if (!found.empty()) break;
    }
    closedir(d);
    return found;
}

std::string strBaseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool blnWebAddress(const std::string& s) {
    const auto colon = s.find("://");
    if (colon == std::string::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(s[i])) && s[i] != '+' && s[i] != '-' &&
            s[i] != '.')
            return false;
    return true;
}

// Starts argv; in the detached case through an intermediate child, so the
// program is not ours to reap. Reports exec failures back through a pipe.
pid_t lngSpawn(const std::vector<std::string>& argv, bool blnDetached) {
    if (argv.empty()) return -1;
    const std::string program = strResolveProgram(argv[0]);
    if (program.empty()) return -1;
    std::vector<char*> args;
    args.push_back(const_cast<char*>(program.c_str()));
    for (std::size_t i = 1; i < argv.size(); ++i)
        args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return -1;
    }
    if (pid == 0) {
        close(pipeFds[0]);
        if (blnDetached) {
            setsid();
            const pid_t grandchild = fork();
            if (grandchild != 0) _exit(grandchild < 0 ? 127 : 0);
        }
        execv(program.c_str(), args.data());
        const int e = errno;
        (void)!write(pipeFds[1], &e, sizeof e);
        _exit(127);
    }
    close(pipeFds[1]);
    int e = 0;
    ssize_t n;
    while ((n = read(pipeFds[0], &e, sizeof e)) < 0 && errno == EINTR) {
    }
    close(pipeFds[0]);
    if (blnDetached) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    } else if (n > 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return n > 0 ? -1 : pid;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size() && blnBlank(s[i])) ++i;
    if (i >= s.size()) return out;
    // The program name: no escapes, quotes only group.
    std::string program;
    bool quoted = false;
    for (; i < s.size(); ++i) {
        if (s[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && blnBlank(s[i])) {
            break;
        } else {
            program.push_back(s[i]);
        }
    }
    out.push_back(program);
    while (true) {
        while (i < s.size() && blnBlank(s[i])) ++i;
        if (i >= s.size()) break;
        std::string arg;
        quoted = false;
        while (i < s.size() && (quoted || !blnBlank(s[i]))) {
            if (s[i] == '\\') {
                std::size_t n = 0;
                while (i < s.size() && s[i] == '\\') {
                    ++n;
                    ++i;
                }
                if (i < s.size() && s[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2) {
                        arg.push_back('"');
                        ++i;
                    }
                } else {
                    arg.append(n, '\\');
                }
            } else if (s[i] == '"') {
                if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
                    arg.push_back('"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg.push_back(s[i++]);
            }
        }
        out.push_back(arg);
    }
    return out;
}

std::string strQuoteArgument(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : a) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        // Backslashes before a quote are doubled, the quote escaped.
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(2 * slashes, '\\');
    out.push_back('"');
    return out;
}

std::string strResolveProgram(const std::string& strName) {
    if (strName.empty()) return "";
    const std::string base = strBaseName(strName);
    if (blnSameName(base, "iexplore.exe") || blnSameName(base, "iexplore")) {
        const std::string opener = strBrowserOpener();
        return opener == strName ? "" : strResolveProgram(opener);
    }
    if (strName.find('/') != std::string::npos) {
        if (blnExecutable(strName)) return strName;
        if (blnEndsExe(strName) && blnExecutable(strName.substr(0, strName.size() - 4)))
            return strName.substr(0, strName.size() - 4);
        const auto slash = strName.rfind('/');
        return strFindIn(slash == 0 ? "/" : strName.substr(0, slash), base);
    }
    std::string found = strFindIn(strProgramFolder(), strName);
    if (!found.empty()) return found;
    const char* path = std::getenv("PATH");
    std::string p = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= p.size()) {
        auto end = p.find(':', start);
        if (end == std::string::npos) end = p.size();
        const std::string folder = p.substr(start, end - start);
        start = end + 1;
        if (folder.empty() || folder.front() != '/') continue;
        found = strFindIn(folder, strName);
        if (!found.empty()) return found;
    }
    return "";
}

bool blnRunAndWait(const std::string& strCommandLine, int32_t* plngExitCode) {
    const pid_t pid = lngSpawn(SplitCommandLine(strCommandLine), false);
    if (pid < 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (plngExitCode)
        *plngExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool blnStartDetached(const std::string& strCommandLine) {
    return lngSpawn(SplitCommandLine(strCommandLine), true) >= 0;
}

bool blnShellOpen(const std::string& strFile, const std::string& strParameters) {
    std::vector<std::string> argv;
    if (!blnWebAddress(strFile) && !strResolveProgram(strFile).empty()) {
        argv = SplitCommandLine(strQuoteArgument(strFile) + " " + strParameters);
    } else {
        argv = {strBrowserOpener(), strFile};
    }
    return lngSpawn(argv, true) >= 0;
}

}  // namespace platform::win
