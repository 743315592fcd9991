// The installer run as a child process in a temporary root: a source folder
// holding what the build folder holds, a browser that only notes the pages
// it is asked to open, and no display, so every box goes to standard error.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform_win/WinFixture.h"

namespace twtest {

class InstallerFixture : public WinFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    struct Result {
        int lngCode = -1;
        std::string strErr;
    };
    // Runs "program args" with the scripted answers and waits for it.
    Result Run(const std::string& strProgram, const std::string& strArgs,
               const std::string& strAnswers = "");
    Result RunSource(const std::string& strArgs, const std::string& strAnswers = "") {
        return Run(Source() + "/installer", strArgs, strAnswers);
    }

    std::string Source() const { return Path("source"); }
    // The install folder, with its final slash.
    std::string Folder() const;
    std::optional<std::string> Value(platform::win::HKEY hRoot, const std::string& strKey,
                                     const std::string& strName) const;
    void SetValue(platform::win::HKEY hRoot, const std::string& strKey, const std::string& strName,
                  const std::string& strText) const;
    bool blnKeyExists(platform::win::HKEY hRoot, const std::string& strKey) const;
    // The addresses the browser was asked to open, in order; waits a while
    // for at least lngAtLeast (the browser is started, not waited for).
    std::vector<std::string> Pages(std::size_t lngAtLeast = 0) const;
    static std::vector<std::string> FilesIn(const std::string& strFolder);
    // A window of the class, run by the test double in a child process.
    pid_t StartWindow(const std::string& strClass, const std::string& strQuitOn);
    void StopWindow(pid_t pid);

    // Every value, link and file of an installation with this library name;
    // astrOthers: files the install folder holds besides the table's.
    void ExpectInstalled(const std::string& strLibrary, std::vector<std::string> astrOthers = {});
    // The pending deletions at the next restart (machine hive).
    std::vector<std::pair<std::string, std::string>> PendingAtRestart() const;
    // Nothing of an installation is left but the install folder's files.
    void ExpectValuesAndLinksRemoved();

    std::string mstrProgramFiles;
    // An install that succeeded started the agent, which may not have
    // claimed its class yet when the installer ends.
    bool mblnAgentStarted = false;

  private:
    std::vector<pid_t> maWindows;
};

}  // namespace twtest
