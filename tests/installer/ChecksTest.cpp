// The checked install's system and browser checks, the refusal, and the
// refusals that keep the installer from deleting what is not its own.
#include <filesystem>

#include "tests/installer/InstallerFixture.h"

namespace fs = std::filesystem;
using namespace platform::win;

namespace twtest {
namespace {

constexpr char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer";
constexpr char kAddonKey[] = "Software\\Notavex\\Annotator";

class InstallerChecks : public InstallerFixture {};

TEST_F(InstallerChecks, CheckedInstallStopsOnSystemAndBrowser) {
    struct Case {
        const char* strSystem;
        const char* strBrowser;  // "" no value
        const char* strBox;
    };
    const std::string licence =
        "[Notavex Installer] Do you accept all the terms of the preceeding License Agreement?";
    const std::string oldBrowser =
        "[Notavex Installer - Alert] The installer cannot find a compatible version of Internet "
        "Explorer.  Nota-Vex requires Internet Explorer 5.0 or higher.  Please direct your browser "
        "to http://www.microsoft.com/windows/ie/ for a free upgrade -> OK";
    const std::string unsupported =
        "[Notavex Installer - Alert] Your Operating System is not supported.";
    const std::string ie6 =
        "[Notavex for Internet Explorer 6] To install Notavex for the Internet Explorer 6 beta, "
        "please click the Go To Notavex button below or visit http://www.notavex.com/ie6/. -> Go "
        "to Notavex";
    const Case cases[] = {
        {"nt 5.1", "5.50.4807.2300", licence.c_str()},
        {"nt 5.1", "6.0.2600.0000", ie6.c_str()},
        {"nt 5.1", "4.72.3110.8", oldBrowser.c_str()},
        {"nt 5.1", "", oldBrowser.c_str()},
        {"9x 4.0", "5.0", licence.c_str()},
        {"nt 4.0", "5.5", licence.c_str()},
        {"nt 3.51", "5.5", unsupported.c_str()},
        {"win32s 3.1", "5.5", unsupported.c_str()},
        {"none", "5.5", unsupported.c_str()},
    };
    for (const auto& c : cases) {
        setenv("NOTAVEX_WINVER", c.strSystem, 1);
        if (*c.strBrowser) SetValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", c.strBrowser);
        const auto r = RunSource("-z");
        const std::string what = std::string(c.strSystem) + " / " + c.strBrowser + ": " + r.strErr;
        // The licence is never accepted by default; every check stops.
        EXPECT_EQ(r.lngCode, 1) << what;
        EXPECT_EQ(r.strErr.rfind(c.strBox, 0), 0u) << what;
        EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE, kAddonKey)) << what;
        auto registry = NewRegistry();
        registry->DeleteKey(HKEY_LOCAL_MACHINE, kBrowserKey);
    }
    // Only "Go to Notavex" opened a page: the product's own.
    EXPECT_EQ(Pages(1), std::vector<std::string>{"http://www.notavex.com/ie6/"});
}

TEST_F(InstallerChecks, AcceptedLicenceInstallsWithTheOlderSystemsFile) {
    setenv("NOTAVEX_WINVER", "9x 4.0", 1);
    SetValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", "5.50.4807.2300");
    WriteText(Source() + "/riched20.dll", "rich edit");
    // Whatever the downloaded file is called, the copy and the recorded
    // uninstall command are "installer".
    fs::rename(Source() + "/installer", Source() + "/NotavexSetup");
    const auto r = Run(Source() + "/NotavexSetup", "-z", "accept");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    ExpectInstalled("notavex.dll", {"riched20.dll"});
    EXPECT_EQ(Pages(1),
              std::vector<std::string>{
                  "http://www.notavex.com/help/index.html?reason=install&major=3&minor=0&bug=0"});
}

TEST_F(InstallerChecks, RefusesWithoutOptionAndWhereNothingIsItsOwn) {
    for (const char* args : {"", "-x", "install", "-r"}) {
        const auto r = RunSource(args);
        EXPECT_EQ(r.lngCode, 1) << args;
        EXPECT_EQ(r.strErr.rfind("[Notavex Installer] The Notavex installer cannot be run from "
                                 "Windows Explorer.  To uninstall, go to 'Add/Remove Programs' "
                                 "from the Control Panel. -> OK\ninstaller: refused",
                                 0),
                  0u)
            << args << ": " << r.strErr;
    }
    // A display that cannot be opened: the same refusal, asked of nobody.
    setenv("DISPLAY", ":32761", 1);
    const auto r0 = RunSource("");
    unsetenv("DISPLAY");
    EXPECT_EQ(r0.lngCode, 1) << r0.strErr;
    EXPECT_NE(r0.strErr.find("installer: the display cannot be used: running without one.\n"
                             "[Notavex Installer] The Notavex installer cannot be run"),
              std::string::npos)
        << r0.strErr;

    // -r on a folder no uninstall handed over deletes nothing.
    fs::create_directories(Path("documents"));
    WriteText(Path("documents/letter.txt"), "mine");
    auto r = RunSource("-r '" + Path("documents") + "/'");
    EXPECT_EQ(r.lngCode, 1) << r.strErr;
    EXPECT_TRUE(fs::exists(Path("documents/letter.txt")));

    // A copy of the installer in a downloads folder uninstalls nothing and
    // deletes none of its neighbours.
    ASSERT_EQ(RunSource("-i").lngCode, 0);
    fs::create_directories(Path("downloads"));
    fs::copy_file(Source() + "/installer", Path("downloads/installer"));
    WriteText(Path("downloads/photo.jpg"), "mine");
    for (const char* mode : {"-q", "-u"}) {
        r = Run(Path("downloads/installer"), mode);
        EXPECT_EQ(r.lngCode, 1) << r.strErr;
        EXPECT_NE(r.strErr.find("installer: refused: only the installer in " + Folder()),
                  std::string::npos)
            << r.strErr;
    }
    EXPECT_EQ(FilesIn(Path("downloads")), (std::vector<std::string>{"installer", "photo.jpg"}));
    ExpectInstalled("notavex.dll");
}

TEST_F(InstallerChecks, FailedNewInstallSaysWhyAndExitsTwo) {
    fs::remove(Source() + "/NVAgent");
    const auto r = RunSource("-i");
    EXPECT_EQ(r.lngCode, 2);
    EXPECT_NE(r.strErr.find("installer: failed: the add-on's files were not copied to " + Folder()),
              std::string::npos)
        << r.strErr;
    EXPECT_FALSE(blnKeyExists(HKEY_LOCAL_MACHINE, kAddonKey));
}

}  // namespace
}  // namespace twtest
