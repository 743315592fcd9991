// The installer's modes: refusal, install (plain and checked), uninstall
// (with questions and quiet) and the final removal of the install folder.
#pragma once

#include <string>

#include "annotator/installer/CommandLine.h"
#include "annotator/installer/InstallerUi.h"
#include "platform/win/Registry.h"

namespace notavex::installer {

// The exit status and, unless the mode did its work, the one line that
// says why.
struct Outcome {
    int lngCode = 0;  // 0 done, 1 refused or cancelled, 2 failed
    std::string strWhy;
};

// 0 Windows 95, 1 supported, 3 not supported.
int lngSystemClass();

class Installer {
  public:
    // strOwnFile: the running installer's file.
    Installer(platform::win::Registry& registry, InstallerUi& ui, ModeChoice choice,
              std::string strOwnFile);
    Outcome Run();

  private:
    Outcome Refuse();
    Outcome CheckedInstall();
    Outcome Install();
    Outcome InstallSteps();
    Outcome Uninstall();
    Outcome RemoveFolder();
    void OpenResultPage();
    // Runs a program and waits for it while the windows keep running.
    bool blnRunAndWait(const std::string& strCommandLine);
    const char* strTitle() const;

    platform::win::Registry& mRegistry;
    InstallerUi& mUi;
    ModeChoice mChoice;
    std::string mstrOwnFile;
    int mlngSystemClass;
    bool mblnUpgrade = false;
    bool mblnQuiet = false;
    bool mblnSuccess = false;
};

}  // namespace notavex::installer
