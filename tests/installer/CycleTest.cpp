// The installer's whole life in a temporary root: install, upgrade over it,
// uninstall and the removal copy, and what goes wrong on the way.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "platform/win/RestartOps.h"
#include "platform/win/WindowClass.h"
#include "tests/installer/InstallerFixture.h"

namespace fs = std::filesystem;
using namespace platform::win;

namespace twtest {
namespace {

constexpr char kCaches[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\"
    "Component Categories\\{00021493-0000-0000-C000-000000000046}\\Enum";
constexpr char kUserKey[] = "SOFTWARE\\Notavex\\annotator\\1.0";
constexpr char kDistributionUnit[] =
    "Software\\Microsoft\\Code Store Database\\Distribution Units\\"
    "{6C3E1A52-7B0D-4E8F-9A21-3D5F8C4B2E71}";
const std::string kTail = "major=3&minor=0&bug=0";

class InstallerCycle : public InstallerFixture {
  protected:
    std::string Hives() const {
        return ReadText(Path("machine/var/lib/notavex/machine.reg")) +
               ReadText(Path("config/notavex/user.reg"));
    }
    // Processor seconds of the children waited for so far.
    static double dblChildCpu() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};

TEST_F(InstallerCycle, InstallUpgradeUninstallAndRemovalCopy) {
    SetValue(HKEY_CLASSES_ROOT, "Notavex.NVNote.1\\Stale", "", "left by an old release");
    SetValue(HKEY_CURRENT_USER, kCaches, "x", "stale");
    auto r = RunSource("-i");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    ExpectInstalled("notavex.dll");
    EXPECT_FALSE(blnKeyExists(HKEY_CLASSES_ROOT, "Notavex.NVNote.1\\Stale"));
    EXPECT_FALSE(blnKeyExists(HKEY_CURRENT_USER, kCaches));
    EXPECT_TRUE(Pages().empty()) << "a new plain install opens no page";

    // Upgrade: the previous installation's quiet uninstall keeps the user's
    // settings but the mail settings.
    SetValue(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Mail", "Server", "mail.example");
    SetValue(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Capture", "Kept", "1");
    SetValue(HKEY_LOCAL_MACHINE, kDistributionUnit, "", "record");
    setenv("NVServerName", "example.test", 1);
    setenv("NVServerPort", "8080", 1);
    r = RunSource("-i");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    EXPECT_NE(r.strErr.find("[Installing Notavex] Before upgrading"), std::string::npos)
        << r.strErr;
    ExpectInstalled("notavex.dll");
    EXPECT_FALSE(blnKeyExists(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Mail"));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Capture", "Kept"), "1");
    EXPECT_EQ(Pages(1), std::vector<std::string>{
                            "http://example.test:8080/help/index.html?reason=upgrade&" + kTail});
    unsetenv("NVServerName");
    unsetenv("NVServerPort");

    // Uninstall from the install folder: a folder window closes when asked.
    StartWindow("CabinetWClass", "16");
    r = Run(Folder() + "installer", "-u");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    EXPECT_NE(r.strErr.find("[Uninstalling Notavex] Before uninstalling"), std::string::npos);
    EXPECT_TRUE(blnEventually([] { return !FindWindow("CabinetWClass"); }));
    ExpectValuesAndLinksRemoved();
    EXPECT_FALSE(blnKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Notavex"));
    EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE, kDistributionUnit));
    EXPECT_EQ(ReadText(Path("calls.log")),
              "DllRegisterServer\nDllUnregisterServer\nDllRegisterServer\nDllUnregisterServer\n");

    // The removal copy, in a folder of its own, empties the install folder,
    // opens the uninstall page and leaves itself for the next restart.
    EXPECT_TRUE(blnEventually([&] { return !fs::exists(Folder()); }));
    EXPECT_EQ(Pages(2).back(), "http://www.notavex.com/product/get/uninstall.html?" + kTail);
    const auto pending = PendingAtRestart();
    ASSERT_EQ(pending.size(), 3u);
    const fs::path copy = pending[0].first;
    EXPECT_EQ(copy.filename(), "nvInst");
    EXPECT_EQ(copy.parent_path().parent_path(), fs::path(Path("tmp")));
    struct stat st {};
    ASSERT_EQ(stat(copy.parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the copy's folder is private";
    EXPECT_EQ(pending[2].first, copy.parent_path().string());
}

TEST_F(InstallerCycle, LibraryStillInPlaceTakesNextFreeNameAndIsDeletedAtRestart) {
    fs::create_directories(Folder());
    WriteText(Folder() + "notavex.dll", "held by the browser");
    auto r = RunSource("-i");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    ExpectInstalled("notavex1.dll", {"notavex.dll"});
    const std::vector<std::pair<std::string, std::string>> pending{{Folder() + "notavex.dll", ""}};
    EXPECT_EQ(PendingAtRestart(), pending);

    // A new install (nothing recorded) next to both names takes the third;
    // on the older family the deletion joins the entries of the rename
    // section instead.
    auto registry = NewRegistry();
    SHDeleteKey(*registry, HKEY_LOCAL_MACHINE, "Software\\Notavex");
    setenv("NOTAVEX_WINVER", "9x 4.10", 1);
    const std::string winInit = Path("machine/var/lib/notavex/WININIT.INI");
    const std::string entries = "[Other]\r\nA=1\r\n[rename]\r\nNUL=/old/a\r\n/x/b=/x/c\r\n";
    WriteText(winInit, entries);
    r = RunSource("-i");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    ExpectInstalled("notavex2.dll", {"notavex.dll", "notavex1.dll"});
    EXPECT_EQ(ReadText(winInit), entries + "NUL=" + Folder() + "notavex.dll\r\n");
    EXPECT_EQ(PendingAtRestart(), pending);
}

TEST_F(InstallerCycle, CancelledOrBlockedUpgradeLeavesPreviousInstallation) {
    ASSERT_EQ(RunSource("-i").lngCode, 0);
    const std::string hives = Hives();
    const auto files = FilesIn(Folder());
    auto r = RunSource("-i", "cancel");
    EXPECT_EQ(r.lngCode, 1) << r.strErr;
    EXPECT_EQ(Hives(), hives);
    EXPECT_EQ(FilesIn(Folder()), files);
    EXPECT_TRUE(blnEventually([] { return static_cast<bool>(FindWindow("Notavex Agent")); }));
    EXPECT_EQ(Pages(1), std::vector<std::string>{
                            "http://www.notavex.com/download/msg/unsuccessful.html?" + kTail});

    // A window that ignores the request to close: three prompts, then the
    // upgrade fails.
    StartWindow("IEFrame", "never");
    const double cpu = dblChildCpu();
    r = RunSource("-i");
    EXPECT_EQ(r.lngCode, 2) << r.strErr;
    // Eight seconds of waiting for the window, not of spinning.
    EXPECT_LT(dblChildCpu() - cpu, 2.0);
    EXPECT_EQ(Count(r.strErr, "Notavex was unable to close a window."), 3) << r.strErr;
    EXPECT_EQ(Hives(), hives);
    EXPECT_EQ(FilesIn(Folder()), files);
}

TEST_F(InstallerCycle, HungAgentDoesNotHoldTheUninstall) {
    // The hung program holds the agent's class, so the installed agent
    // hands over to it and ends.
    StartWindow("Notavex Agent", "hang");
    ASSERT_EQ(RunSource("-i").lngCode, 0);
    const auto start = std::chrono::steady_clock::now();
    const auto r = Run(Folder() + "installer", "-u");
    EXPECT_EQ(r.lngCode, 0) << r.strErr;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator"));
    EXPECT_TRUE(blnEventually([&] { return !fs::exists(Folder()); }));
}

TEST_F(InstallerCycle, LinksGoToUserFoldersWhenAllUsersFoldersAreClosed) {
    OpenToNobody();
    fs::create_directories(Path("machine/etc/xdg/autostart"));
    fs::create_directories(Path("machine/usr/local/share/applications"));
    ASSERT_EQ(std::system(("chown -R 65534:65534 '" + mTmp.path().string() + "'").c_str()), 0);
    for (const char* d : {"machine/etc", "machine/usr"})
        ASSERT_EQ(std::system(("chown -R 0:0 '" + Path(d) + "'").c_str()), 0);
    ASSERT_EQ(RunAsNobody([&] { return RunSource("-i").lngCode; }), 0)
        << ReadText(Path("stderr.txt"));
    EXPECT_TRUE(fs::exists(Path("config/autostart/Notavex Agent.desktop")));
    EXPECT_TRUE(fs::exists(Path("data/applications/Start Notavex.desktop")));
    EXPECT_TRUE(fs::exists(Path("data/applications/Notavex/Start Notavex.desktop")));
    EXPECT_TRUE(FilesIn(Path("machine/usr/local/share/applications")).empty());
    EXPECT_TRUE(FilesIn(Path("machine/etc/xdg/autostart")).empty());

    ASSERT_EQ(RunAsNobody([&] { return Run(Folder() + "installer", "-u").lngCode; }), 0)
        << ReadText(Path("stderr.txt"));
    EXPECT_FALSE(fs::exists(Path("config/autostart/Notavex Agent.desktop")));
    EXPECT_FALSE(fs::exists(Path("data/applications/Start Notavex.desktop")));
    EXPECT_FALSE(fs::exists(Path("data/applications/Notavex")));
    EXPECT_TRUE(blnEventually([&] { return !fs::exists(Folder()); }));
}

}  // namespace
}  // namespace twtest
