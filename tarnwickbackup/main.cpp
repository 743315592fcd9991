// TarnwickBackup: starts Qt (PlatformStart), picks the user-interface
// services (Qt with a display, the headless ones without), makes the
// program's file-system object and runs the main window.
#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "Globals.h"
#include "MainForm.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/qt/PlatformStart.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"

namespace {

// The arguments as one command line: those holding blanks in double quotes,
// as the shell received them.
std::string strCommandLineOf(const QStringList& arguments) {
    std::string strLine;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        std::string arg = arguments[i].toStdString();
        if (arg.empty() || arg.find(' ') != std::string::npos) arg = "\"" + arg + "\"";
        if (!strLine.empty()) strLine += ' ';
        strLine += arg;
    }
    return strLine;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwickbackup;
    platform::qt::PlatformStart objStart(argc, argv);
    QApplication app(objStart.Argc(), objStart.Argv());
    QApplication::setApplicationName(QString::fromUtf8(gstrAPP_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(TW_APP_VERSION));
    // Wayland desktops match windows to the menu entry, and so to its icon,
    // by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwickbackup"));
    const bool blnHeadless = objStart.blnStarted(QGuiApplication::platformName().toStdString());
    if (const std::string strNote = objStart.strFallbackNote(gstrAPP_TITLE); !strNote.empty())
        std::cerr << strNote << std::endl;
    if (blnHeadless)
        platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>(std::cerr));
    else
        platform::ui::InstallUi(std::make_shared<platform::qt::QtUi>());

    std::shared_ptr<platform::fs::FileSystem> objFileSys;
    AppObject& objApp = App();
    try {
        objFileSys = platform::fs::FileSystem::Create();
        platform::fs::InstallProcessFileSystem(objFileSys);
        objApp.Path = objFileSys->AppPathOf(QCoreApplication::applicationDirPath().toStdString());
    } catch (const std::exception& e) {
        // Without its drive table the program can do nothing it was asked.
        platform::ui::Ui().MsgBox(e.what(), platform::ui::vbCritical, gstrAPP_TITLE);
        return glngEXIT_STOPPED;
    }
    objApp.Major = TW_APP_MAJOR;
    objApp.Minor = TW_APP_MINOR;
    objApp.Revision = TW_APP_REVISION;
    objApp.strCommandLine = strCommandLineOf(QCoreApplication::arguments());
    objApp.blnHeadless = blnHeadless;

    MainForm objMain(objFileSys);
    objMain.Form_Load();
    objMain.show();
    if (blnHeadless && !objMain.blnUnattended()) {
        // Nobody could use the window: after its first activation (queued by
        // show), say why and end.
        QTimer::singleShot(0, &objMain, [&objMain] {
            std::cerr << "[" << gstrAPP_TITLE
                      << "] There is no display: only an unattended backup (/ub) runs without one."
                      << std::endl;
            objMain.close();
        });
    }
    const int lngLoop = app.exec();
    // A scheduler learns from the exit status what the backup came to; a
    // start without a display that could not back up did nothing it was
    // asked for.
    if (objMain.blnUnattended()) return objMain.lngExitStatus();
    if (blnHeadless) return glngEXIT_STOPPED;
    return lngLoop;
}
