// Not a test: the help viewer from a modal dialog, checked with real X input
// (scripts/check-help-modal.sh drives it with xdotool under Xvfb). It opens
// the help beside no window, then the options dialog modally, and reports on
// standard output what the X server's input did:
//   DIALOG <x window id>          the dialog is up: press F1 in it
//   VIEWER <x> <y> <x2> <y2>      help moved under the dialog: Back's centre
//                                 and a point over the topic text
//   BACK                          a real click on Back reached the viewer
//   SCROLLED                      a real wheel turn scrolled the topic
//   INNER                         a second modal dialog is up: press F1
//   INNER-F1                      help moved under it, showing its topic
//   INNER-BACK                    a real click on Back reached it there
// then closes the inner dialog and the options dialog and exits 0 when
// every step happened and the viewer was handed back each time (to the
// options dialog, then to no window), 1 when it gave up after 20 s.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "platform/fs/FileSystem.h"
#include "platform/qt/HelpViewer.h"
#include "platform/ui/ScriptedUi.h"
#include "savecore/BackupManager.h"
#include "tarnwickbackup/BackupModeDialog.h"
#include "tarnwickbackup/Globals.h"
#include "tarnwickbackup/SettingsStore.h"
#include "tarnwickbackup/TWDeclarations.h"
#include "tests/support/TempDir.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    twtest::TempDir tmp;
    std::filesystem::create_directories(tmp / "c");
    std::filesystem::create_directories(tmp / "prog");
    std::filesystem::copy_file(TW_HELP_SOURCE, tmp / "prog" / "TarnwickBackup.hlp");
    platform::fs::DriveTable table;
    table.drives.push_back({'C', tmp / "c", 2, "", "", std::nullopt, false});
    auto fs = platform::fs::FileSystem::Create(table);
    platform::fs::InstallProcessFileSystem(fs);
    platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>());
    tarnwickbackup::InstallSettings(
        std::make_shared<tarnwickbackup::SettingsStore>(tmp / "settings.ini"));
    tarnwickbackup::App().Path = fs->AppPathOf(tmp / "prog");

    tarnwickbackup::ShowHelp(tarnwickbackup::glngHELP_MAIN, 0, false);
    auto* viewer = platform::qt::HelpViewer::Current();
    viewer->setGeometry(40, 40, 560, 420);

    savecore::BackupManager manager;
    tarnwickbackup::BackupModeDialog dialog;
    QDialog inner(&dialog);
    inner.setWindowTitle(QStringLiteral("Inner"));
    inner.resize(200, 100);
    tarnwickbackup::SetHelpContext(inner, tarnwickbackup::glngHELP_EDIT_DRIVES);
    enum { kWaitF1, kWaitBack, kWaitScroll, kWaitInnerF1, kWaitInnerBack, kDone } eStep = kWaitF1;
    bool blnAll = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        viewer = platform::qt::HelpViewer::Current();
        if (!viewer) return;
        auto* text = viewer->findChild<QTextBrowser*>();
        if (eStep == kWaitF1 && viewer->lngContext() == tarnwickbackup::glngHELP_BACKUP_MODE &&
            viewer->isVisible()) {
            QPushButton* back = nullptr;
            for (QPushButton* button : viewer->findChildren<QPushButton*>())
                if (button->text() == "Back") back = button;
            const QPoint ptBack = back->mapToGlobal(back->rect().center());
            const QPoint ptText = text->mapToGlobal(text->rect().center());
            std::cout << "VIEWER " << ptBack.x() << " " << ptBack.y() << " " << ptText.x() << " "
                      << ptText.y()
                      << " owner=" << (viewer->objOwner() == &dialog ? "dialog" : "other")
                      << std::endl;
            eStep = kWaitBack;
        } else if (eStep == kWaitBack && viewer->lngContext() == tarnwickbackup::glngHELP_MAIN) {
            std::cout << "BACK" << std::endl;
            eStep = kWaitScroll;
        } else if (eStep == kWaitScroll && text->verticalScrollBar()->value() > 0) {
            std::cout << "SCROLLED" << std::endl;
            eStep = kWaitInnerF1;
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(300, [&] {
                    inner.activateWindow();
                    std::cout << "INNER" << std::endl;
                });
                inner.exec();
                blnAll = blnAll && viewer->objOwner() == &dialog && viewer->isVisible();
                dialog.cmdCancel->click();
            });
        } else if (eStep == kWaitInnerF1 &&
                   viewer->lngContext() == tarnwickbackup::glngHELP_EDIT_DRIVES) {
            std::cout << "INNER-F1 owner=" << (viewer->objOwner() == &inner ? "inner" : "other")
                      << std::endl;
            eStep = kWaitInnerBack;
        } else if (eStep == kWaitInnerBack &&
                   viewer->lngContext() == tarnwickbackup::glngHELP_MAIN) {
            std::cout << "INNER-BACK" << std::endl;
            eStep = kDone;
            blnAll = dialog.isVisible() && inner.isVisible();
            inner.accept();
        }
    });
    poll.start(50);
    QTimer::singleShot(300, [&] {
        dialog.activateWindow();
        std::cout << "DIALOG " << dialog.winId() << std::endl;
    });
    QTimer::singleShot(20000, [&] { dialog.cmdCancel->click(); });
    dialog.blnShowMe(manager, "Daily", "e:\\backups\\");
    viewer = platform::qt::HelpViewer::Current();
    blnAll = blnAll && viewer && !viewer->objOwner() && viewer->isVisible();
    std::cout << (blnAll ? "HANDED-BACK" : "LOST") << std::endl;
    return blnAll ? 0 : 1;
}
