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
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"

using namespace notavex::installer;

namespace {

bool blnSet(const char* strName) {
    const char* value = std::getenv(strName);
    return value && *value;
}

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
    if (!blnSet("DISPLAY") && !blnSet("WAYLAND_DISPLAY")) {
        const Outcome outcome = RunHeadless(*registry, choice);
        if (outcome.lngCode != 0) std::cerr << "installer: " << outcome.strWhy << std::endl;
        return outcome.lngCode;
    }
    // A display that is named but cannot be opened would end Qt on the
    // spot, in the middle of nothing or of an install: fall back to the
    // off-screen platform and ask nobody instead.
    const bool blnChosen = blnSet("QT_QPA_PLATFORM");
    if (!blnChosen) {
        const std::string strList =
            blnSet("WAYLAND_DISPLAY") && !blnSet("DISPLAY") ? "wayland;offscreen" : "xcb;offscreen";
        setenv("QT_QPA_PLATFORM", strList.c_str(), 1);
    }
    QApplication app(argc, argv);
    // The programs it starts choose for themselves.
    if (!blnChosen) unsetenv("QT_QPA_PLATFORM");
    Outcome outcome;
    if (!blnChosen && QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::cerr << "installer: the display cannot be used: running without one." << std::endl;
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
