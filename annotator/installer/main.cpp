// The Notavex installer: installs, upgrades and removes the add-on, as the
// option on its command line says.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "annotator/installer/AddonFiles.h"
#include "annotator/installer/HeadlessUi.h"
#include "annotator/installer/Installer.h"
#include "annotator/installer/QtInstallerUi.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"

using namespace notavex::installer;

namespace {

bool blnSet(const char* strName) {
    const char* value = std::getenv(strName);
    return value && *value;
}

}  // namespace

int main(int argc, char** argv) {
    const ModeChoice choice = ParseMode(std::vector<std::string>(argv + 1, argv + argc));
    auto registry = platform::win::OpenRegistry();
    Outcome outcome;
    if (!blnSet("DISPLAY") && !blnSet("WAYLAND_DISPLAY")) {
        // Nobody to ask: boxes go to standard error, answered by default.
        platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>(std::cerr));
        const char* answers = std::getenv("NOTAVEX_INSTALLER_ANSWERS");
        HeadlessUi ui(std::cerr, answers ? answers : "");
        outcome = Installer(*registry, ui, choice, strOwnPath()).Run();
    } else {
        QApplication app(argc, argv);
        platform::ui::InstallUi(std::make_shared<platform::qt::QtUi>());
        QtInstallerUi ui;
        outcome = Installer(*registry, ui, choice, strOwnPath()).Run();
        platform::ui::InstallUi(nullptr);
    }
    if (outcome.lngCode != 0) std::cerr << "installer: " << outcome.strWhy << std::endl;
    return outcome.lngCode;
}
