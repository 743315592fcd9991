// The program itself, started without a display as a scheduler would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace twtest {
namespace {

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BuildTree(mTmp.path(), "c/Daily.BDF\ne/\n");
        WriteFile(mTmp / "drives.ini", "[C]\nPath=" + (mTmp / "c").string() +
                                           "\n[E]\nPath=" + (mTmp / "e").string() + "\nType=1\n");
    }

    // Runs the program with strArgs; returns what it wrote, sets mlngExit.
    std::string Run(const std::string& strArgs) {
        const std::string strCommand =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TARNWICK_DRIVES='" +
            (mTmp / "drives.ini").string() + "' TARNWICK_SETTINGS='" +
            (mTmp / "settings.ini").string() + "' '" TW_PROGRAM "' " + strArgs + " 2>&1";
        FILE* pipe = popen(strCommand.c_str(), "r");
        std::string strOut;
        std::array<char, 512> buffer{};
        while (pipe && fgets(buffer.data(), buffer.size(), pipe)) strOut += buffer.data();
        const int status = pipe ? pclose(pipe) : -1;
        mlngExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return strOut;
    }

    TempDir mTmp;
    int mlngExit = -1;
};

TEST_F(ProgramTest, WithoutDisplayItAsksNobodyAndEnds) {
    // Nothing it could do was asked for: a scheduler hears of it.
    const std::string strOut = Run("/ub");
    EXPECT_EQ(mlngExit, 2) << strOut;
    EXPECT_NE(strOut.find("[Tarnwick Backup] Unrecognized command line option(s).\n"),
              std::string::npos)
        << strOut;
    EXPECT_NE(strOut.find("only an unattended backup (/ub) runs without one"), std::string::npos);
    // Program end saved the destinations found on the drives.
    EXPECT_NE(ReadFile(mTmp / "settings.ini").find("Dest0=e:\\"), std::string::npos);

    // An empty instruction file stops the run.
    const std::string strUnattended = Run("/UB Daily 'e:\\'");
    EXPECT_EQ(mlngExit, 2) << strUnattended;
    EXPECT_EQ(strUnattended.find("Unrecognized command line option(s)."), std::string::npos)
        << strUnattended;
    EXPECT_EQ(strUnattended.find("only an unattended backup"), std::string::npos);
}

}  // namespace
}  // namespace twtest
