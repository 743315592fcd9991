// The Notavex installer: installs, upgrades and removes the add-on, as the
// option on its command line says.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "annotator/installer/AddonFiles.h"
#include "annotator/installer/HeadlessUi.h"
#include "annotator/installer/Installer.h"
#include "annotator/installer/QtInstallerUi.h"
#include "platform/qt/PlatformStart.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"

using namespace notavex::installer;

namespace {

// Nobody to ask: boxes go to standard error, answered by default.
Outcome RunHeadless(platform::win::Registry& registry, const ModeChoice& choice) {
    platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>(std::cerr));
    const char* answers = std::getenv("NOTAVEX_INSTALLER_ANSWERS");
    HeadlessUi ui(std::cerr, answers ? answers : "");
    return Installer(registry, ui, choice, strOwnPath()).Run();
}

}  // namespace

int main(int argc, char** argv) {
    const ModeChoice choice = ParseMode(std::vector<std::string>(argv + 1, argv + argc));
    auto registry = platform::win::OpenRegistry();
    // Without a display, or with one that cannot be opened, Qt runs
    // offscreen and nobody is asked.
    platform::qt::PlatformStart objStart(argc, argv);
    QApplication app(objStart.Argc(), objStart.Argv());
    const bool blnHeadless = objStart.blnStarted(QGuiApplication::platformName().toStdString());
    if (objStart.blnFellBack())
        std::cerr << "installer: the display cannot be used: running without one." << std::endl;
    Outcome outcome;
    if (blnHeadless) {
        outcome = RunHeadless(*registry, choice);
    } else {
        platform::ui::InstallUi(std::make_shared<platform::qt::QtUi>());
        QtInstallerUi ui;
        outcome = Installer(*registry, ui, choice, strOwnPath()).Run();
    }
    platform::ui::InstallUi(nullptr);
    if (outcome.lngCode != 0) std::cerr << "installer: " << outcome.strWhy << std::endl;
    return outcome.lngCode;
}
