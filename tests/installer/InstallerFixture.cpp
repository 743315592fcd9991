#include "tests/installer/InstallerFixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win/Process.h"
#include "platform/win/RestartOps.h"
#include "platform/win/ShellFolders.h"
#include "platform/win/WindowClass.h"

namespace fs = std::filesystem;
using namespace platform::win;

namespace twtest {

void InstallerFixture::SetUp() {
    WinFixture::SetUp();
    SaveEnv("PATH");
    SaveEnv("NOTAVEX_INSTALLER_ANSWERS");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "NVServerName", "NVServerPort"}) {
        SaveEnv(name);
        unsetenv(name);
    }
    // Regsvr32 is found along PATH when the installer runs from elsewhere.
    const char* path = getenv("PATH");
    setenv("PATH", (std::string(INSTALLER_BIN_DIR) + ":" + (path ? path : "/usr/bin:/bin")).c_str(),
           1);
    fs::create_directories(Source());
    for (const char* name : {"installer", "notavex.dll", "linebreak.gif"})
        fs::copy_file(fs::path(INSTALLER_BIN_DIR) / name, fs::path(Source()) / name);
    fs::copy_file(NVAGENT_DOUBLE, fs::path(Source()) / "NVAgent");
    const std::string browser = Path("browser.sh");
    WriteText(browser, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + Path("pages.log") + "'\n");
    fs::permissions(browser, fs::perms::owner_all);
    setenv("NOTAVEX_BROWSER", browser.c_str(), 1);
    // Blanks in the install folder: every command line must quote it.
    mstrProgramFiles = Path("machine/Program Files");
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
             mstrProgramFiles);
}

void InstallerFixture::TearDown() {
    // An agent the installer started is stopped as the uninstall stops it.
    if (mblnAgentStarted)
        blnEventually([] { return static_cast<bool>(FindWindow("Notavex Agent")); });
    if (const HWND agent = FindWindow("Notavex Agent")) PostMessage(agent, 1127, 0, 0);
    for (pid_t pid : maWindows) StopWindow(pid);
    WinFixture::TearDown();
}

InstallerFixture::Result InstallerFixture::Run(const std::string& strProgram,
                                               const std::string& strArgs,
                                               const std::string& strAnswers) {
    setenv("NOTAVEX_INSTALLER_ANSWERS", strAnswers.c_str(), 1);
    const std::string err = Path("stderr.txt");
    // Nothing the installer starts may hold the test's own output open.
    const std::string command =
        "'" + strProgram + "' " + strArgs + " >/dev/null 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    unsetenv("NOTAVEX_INSTALLER_ANSWERS");
    const Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(err)};
    if (result.lngCode == 0 && strArgs.size() >= 2) {
        if (strArgs.compare(0, 2, "-i") == 0 || strArgs.compare(0, 2, "-z") == 0)
            mblnAgentStarted = true;
        else if (strArgs.compare(0, 2, "-u") == 0 || strArgs.compare(0, 2, "-q") == 0)
            mblnAgentStarted = false;
    }
    return result;
}

std::string InstallerFixture::Folder() const {
    return mstrProgramFiles + "/Notavex/";
}

std::optional<std::string> InstallerFixture::Value(HKEY hRoot, const std::string& strKey,
                                                   const std::string& strName) const {
    auto registry = NewRegistry();
    HKEY h = 0;
    if (registry->OpenKey(hRoot, strKey, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    std::string text(4096, '\0');
    uint32_t size = static_cast<uint32_t>(text.size());
    const int32_t r = registry->QueryValue(h, strName, nullptr, text.data(), &size);
    registry->CloseKey(h);
    if (r != ERROR_SUCCESS) return std::nullopt;
    text.resize(size);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

void InstallerFixture::SetValue(HKEY hRoot, const std::string& strKey, const std::string& strName,
                                const std::string& strText) const {
    auto registry = NewRegistry();
    HKEY h = 0;
    ASSERT_EQ(registry->CreateKey(hRoot, strKey, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    registry->SetValue(h, strName, REG_SZ, strText.c_str(),
                       static_cast<uint32_t>(strText.size() + 1));
    registry->CloseKey(h);
}

bool InstallerFixture::blnKeyExists(HKEY hRoot, const std::string& strKey) const {
    auto registry = NewRegistry();
    HKEY h = 0;
    if (registry->OpenKey(hRoot, strKey, KEY_READ, &h) != ERROR_SUCCESS) return false;
    registry->CloseKey(h);
    return true;
}

std::vector<std::string> InstallerFixture::Pages(std::size_t lngAtLeast) const {
    std::vector<std::string> out;
    blnEventually([&] {
        out.clear();
        std::istringstream in(ReadText(Path("pages.log")));
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out.size() >= lngAtLeast;
    });
    return out;
}

std::vector<std::string> InstallerFixture::FilesIn(const std::string& strFolder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(strFolder, ec)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

pid_t InstallerFixture::StartWindow(const std::string& strClass, const std::string& strQuitOn) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(NVAGENT_DOUBLE, NVAGENT_DOUBLE, strClass.c_str(), strQuitOn.c_str(), nullptr);
        _exit(127);
    }
    maWindows.push_back(pid);
    blnEventually([&] { return static_cast<bool>(FindWindow(strClass)); });
    return pid;
}

void InstallerFixture::StopWindow(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    maWindows.erase(std::remove(maWindows.begin(), maWindows.end(), pid), maWindows.end());
}

std::vector<std::pair<std::string, std::string>> InstallerFixture::PendingAtRestart() const {
    auto registry = NewRegistry();
    HKEY h = 0;
    if (registry->OpenKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_READ, &h) != ERROR_SUCCESS)
        return {};
    std::string data(65536, '\0');
    uint32_t size = static_cast<uint32_t>(data.size());
    const int32_t r = registry->QueryValue(h, kPendingValue, nullptr, data.data(), &size);
    registry->CloseKey(h);
    data.resize(r == ERROR_SUCCESS ? size : 0);
    return PendingPairs(data);
}

void InstallerFixture::ExpectInstalled(const std::string& strLibrary,
                                       std::vector<std::string> astrOthers) {
    const std::string folder = Folder();
    const std::string quoted = "\"" + folder + "installer\"";
    const std::string uninstall =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notavex";
    const std::string addon = "Software\\Notavex\\Annotator";
    struct Expected {
        const std::string& strKey;
        const char* strName;
        std::string strText;
    };
    const Expected values[] = {{uninstall, "DisplayName", "Notavex"},
                               {uninstall, "UninstallString", quoted + " -u"},
                               {addon, "Version", "3.0.0.551"},
                               {addon, "DLLPath", folder + strLibrary},
                               {addon, "QuietUninstall", quoted + " -q"}};
    for (const auto& v : values)
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, v.strKey, v.strName), v.strText) << v.strName;
    // Registered from the installed library, under the name actually used.
    const auto clsid = Value(HKEY_CLASSES_ROOT, "Notavex.NVNote.1\\CLSID", "");
    ASSERT_TRUE(clsid);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "CLSID\\" + *clsid + "\\InprocServer32", ""),
              folder + strLibrary);

    std::vector<std::string> files{"NVAgent", "installer", "linebreak.gif", strLibrary};
    files.insert(files.end(), astrOthers.begin(), astrOthers.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(FilesIn(folder), files);
    for (const char* name : {"linebreak.gif", "NVAgent"})
        EXPECT_EQ(ReadText(folder + name), ReadText(Source() + "/" + name)) << name;
    EXPECT_EQ(ReadText(folder + "installer"), ReadText(INSTALLER_BIN_DIR "/installer"));
    EXPECT_EQ(ReadText(folder + strLibrary), ReadText(Source() + "/notavex.dll"));

    ShellLink agent{folder + "NVAgent", "", "Notavex Icon", ""};
    ShellLink start{folder + "NVAgent", "-v", "Start an Notavex-enabled browser", ""};
    EXPECT_EQ(ReadText(Path("machine/etc/xdg/autostart/Notavex Agent.desktop")),
              strDesktopEntry("Notavex Agent", agent));
    EXPECT_EQ(ReadText(Path("machine/usr/local/share/applications/Start Notavex.desktop")),
              strDesktopEntry("Start Notavex", start));
    EXPECT_EQ(ReadText(Path("machine/usr/local/share/applications/Notavex/Start Notavex.desktop")),
              strDesktopEntry("Start Notavex", start));
    EXPECT_TRUE(blnEventually([] { return static_cast<bool>(FindWindow("Notavex Agent")); }));
}

void InstallerFixture::ExpectValuesAndLinksRemoved() {
    EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notavex"));
    EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator"));
    EXPECT_FALSE(blnKeyExists(HKEY_CLASSES_ROOT, "Notavex.NVNote.1"));
    EXPECT_FALSE(fs::exists(Path("machine/etc/xdg/autostart/Notavex Agent.desktop")));
    EXPECT_FALSE(fs::exists(Path("machine/usr/local/share/applications/Start Notavex.desktop")));
    EXPECT_FALSE(fs::exists(Path("machine/usr/local/share/applications/Notavex")));
    EXPECT_TRUE(blnEventually([] { return !FindWindow("Notavex Agent"); }));
}

}  // namespace twtest
