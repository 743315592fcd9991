#include "AddonFiles.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "annotator/installer/AddonRegistry.h"
#include "platform/win/Locations.h"
#include "platform/win/Process.h"
#include "platform/win/RestartOps.h"
#include "platform/win/ShellFolders.h"
#include "platform/win/SystemVersion.h"
#include "platform/win/WindowClass.h"

namespace notavex::installer {

using namespace platform::win;

namespace {

bool blnExists(const std::string& strPath) {
    struct stat st {};
    return lstat(strPath.c_str(), &st) == 0;
}

std::string strCanonical(const std::string& strPath) {
    char buf[PATH_MAX];
    return realpath(strPath.c_str(), buf) ? std::string(buf) : std::string();
}

}  // namespace

std::string strInstallFolder(Registry& registry) {
    const std::string programFiles = strProgramFilesDir(registry);
    if (programFiles.empty() || !blnMakeFolders(programFiles)) return "";
    const std::string shortForm = strShortPath(programFiles);
    return shortForm.empty() ? "" : strJoin(shortForm, "Notavex/");
}

std::string strPickLibraryName(const std::string& strFolder) {
    if (!blnExists(strJoin(strFolder, kLibraryName))) return kLibraryName;
    for (int n = 1; n <= 99; ++n) {
        const std::string name = "notavex" + std::to_string(n) + ".dll";
        if (!blnExists(strJoin(strFolder, name))) return name;
    }
    return "";
}

bool blnCopyAddonFiles(const std::string& strSourceFolder, const std::string& strInstallerFile,
                       const std::string& strFolder, const std::string& strLibrary,
                       int lngSystemClass, FileQueueCallback& callback) {
    FileQueue queue;
    queue.QueueCopy(strSourceFolder, kLibraryName, strFolder, strLibrary);
    queue.QueueCopy(strSourceFolder, strInstallerFile, strFolder, kInstallerName);
    queue.QueueCopy(strSourceFolder, kAgentName, strFolder);
    if (lngSystemClass == 0 && blnExists(strJoin(strSourceFolder, "riched20.dll")))
        queue.QueueCopy(strSourceFolder, "riched20.dll", strFolder);
    queue.QueueCopy(strSourceFolder, "linebreak.gif", strFolder);
    return queue.blnCommit(callback);
}

void ForEachFile(const std::string& strFolder, const std::function<void(const std::string&)>& fn) {
    DIR* d = opendir(strFolder.c_str());
    if (!d) return;
    while (const dirent* e = readdir(d)) {
        struct stat st {};
        if (lstat(strJoin(strFolder, e->d_name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            fn(e->d_name);
    }
    closedir(d);
}

void DeleteFolderFiles(const std::string& strFolder, FileQueueCallback& callback) {
    FileQueue queue;
    ForEachFile(strFolder, [&](const std::string& name) { queue.QueueDelete(strFolder, name); });
    queue.blnCommit(callback);
    rmdir(strFolder.c_str());
}

void DeleteAtRestart(Registry& registry, const std::string& strPath) {
    std::string path = strShortPath(strPath);
    if (path.empty()) path = strPath;
    OsVersionInfo version;
    if (GetVersionEx(&version) && version.lngPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        const std::string ini = strWinInitPath();
        std::string entries;
        const uint32_t length = GetPrivateProfileSection("Rename", &entries, 0x8000, ini);
        entries.resize(length);
        if (!entries.empty() && entries.back() != '\0') entries.push_back('\0');
        entries += "NUL=" + path + '\0';
        WritePrivateProfileSection("rename", entries, ini);
        return;
    }
    MoveFileEx(registry, path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void StartAgent(const std::string& strFolder) {
    blnShellOpen(strJoin(strFolder, kAgentName), "");
}

void WhileWindowsRun(const std::function<void()>& work, const Pause& pause) {
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) pause();
    worker.join();
}

void StopAgent(const Pause& pause) {
    const HWND agent = FindWindow(kAgentClass);
    if (!agent) return;
    int32_t sent = ERROR_TIMEOUT;
    WhileWindowsRun(
        [&] {
            int64_t result = 0;
            sent = SendMessageTimeout(agent, WM_USER + 103, 0, 0, kSendTimeoutMs, &result);
        },
        pause);
    if (sent != ERROR_SUCCESS) return;
    // The class is free only once the agent's process has ended; an agent
    // started right after must not find the old one and hand over to it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (IsWindow(agent) && std::chrono::steady_clock::now() < until) pause();
}

std::string strOwnPath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string strFolderOf(const std::string& strPath) {
    const auto slash = strPath.rfind('/');
    return slash == std::string::npos ? "./" : strPath.substr(0, slash + 1);
}

bool blnSameFolder(const std::string& a, const std::string& b) {
    const std::string ca = strCanonical(a);
    return !ca.empty() && ca == strCanonical(b);
}

std::string strStartRemovalCopy(const std::string& strInstaller, const std::string& strFolder) {
    std::string folder = strJoin(strTempFolder(), "nvInst-XXXXXX");
    if (!mkdtemp(folder.data()))
        return "cannot make a temporary folder: " + std::string(strerror(errno));
    const std::string copy = strJoin(folder, kRemovalCopyName);
    std::string err = strCopyFileReplacing(strInstaller, copy);
    if (!err.empty()) return "cannot copy the installer: " + err;
    std::ofstream(strJoin(folder, kRemovalRecordName), std::ios::trunc) << strFolder;
    if (!blnStartDetached(strQuoteArgument(copy) + " -r " + strQuoteArgument(strFolder)))
        return "cannot start " + copy;
    return "";
}

bool blnRemovalHandedOver(const std::string& strOwnFile, const std::string& strFolder) {
    std::ifstream in(strJoin(strFolderOf(strOwnFile), kRemovalRecordName));
    std::stringstream recorded;
    recorded << in.rdbuf();
    return in && !recorded.str().empty() && blnSameFolder(recorded.str(), strFolder);
}

}  // namespace notavex::installer
