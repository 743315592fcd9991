// The real tray agent through the real installer: an install starts the
// installed agent, which registers the installed library's client, and the
// uninstall stops it and frees its class.
#include <signal.h>

#include <filesystem>
#include <string>

#include "platform/win/WindowClass.h"
#include "tests/installer/InstallerFixture.h"

namespace fs = std::filesystem;
using namespace platform::win;

namespace twtest {
namespace {

class InstallerWithAgent : public InstallerFixture {};

TEST_F(InstallerWithAgent, InstallStartsTheInstalledAgentAndUninstallStopsIt) {
    fs::copy_file(NVAGENT_PROGRAM, fs::path(Source()) / "NVAgent",
                  fs::copy_options::overwrite_existing);
    auto r = RunSource("-i");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    ASSERT_TRUE(blnEventually([] { return static_cast<bool>(FindWindow("Notavex Agent")); }))
        << ReadText(Path("stderr.txt"));
    const pid_t agent = FindWindow("Notavex Agent").pid;
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(agent) + "/exe"),
              fs::path(Folder() + "NVAgent"));
    EXPECT_TRUE(blnEventually([&] {
        return ReadText(Path("calls.log")).find("ForceRegisterClient") != std::string::npos;
    })) << ReadText(Path("calls.log"));

    r = Run(Folder() + "installer", "-u");
    ASSERT_EQ(r.lngCode, 0) << r.strErr;
    EXPECT_TRUE(blnEventually([&] { return kill(agent, 0) != 0; })) << "the agent still runs";
    EXPECT_FALSE(FindWindow("Notavex Agent"));
}

}  // namespace
}  // namespace twtest
