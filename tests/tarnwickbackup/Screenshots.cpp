// Draws the program's windows into PNG files (argument: output folder), for
// a person to look at. Run it under a real X server (xvfb-run) so fonts and
// styles are those users see.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <filesystem>
#include <functional>
#include <iostream>

#include "platform/fs/FileSystem.h"
#include "platform/qt/HelpViewer.h"
#include "platform/qt/QtUi.h"
#include "platform/ui/ScriptedUi.h"
#include "savecore/BackupManager.h"
#include "savecore/DefinitionFile.h"
#include "savecore/DriveProcessor.h"
#include "tarnwickbackup/BackupDefList.h"
#include "tarnwickbackup/BackupModeDialog.h"
#include "tarnwickbackup/DriveProgress.h"
#include "tarnwickbackup/EditDefDrives.h"
#include "tarnwickbackup/EditDefFolders.h"
#include "tarnwickbackup/EditFolderAdvanced.h"
#include "tarnwickbackup/FolderNode.h"
#include "tarnwickbackup/Globals.h"
#include "tarnwickbackup/MainForm.h"
#include "tarnwickbackup/RestoreDated.h"
#include "tarnwickbackup/RestoreDrives.h"
#include "tarnwickbackup/RestoreFiles.h"
#include "tarnwickbackup/RestoreFolders.h"
#include "tarnwickbackup/SettingsStore.h"
#include "tarnwickbackup/ShowText.h"
#include "tarnwickbackup/Splash.h"
#include "tarnwickbackup/WaitForDrive.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace {

std::filesystem::path gOut;

void Save(QWidget& widget, const std::string& strName) {
    widget.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const auto file = gOut / (strName + ".png");
    widget.grab().save(QString::fromStdString(file.string()));
    std::cout << file.string() << " " << widget.width() << "x" << widget.height() << std::endl;
}

// Runs fn on the modal window of class Window once it is open.
template <class Window>
void WhenModal(std::function<void(Window&)> fn) {
    QTimer::singleShot(20, [fn] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget()))
            fn(*window);
        else
            WhenModal<Window>(fn);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gOut = argc > 1 ? argv[1] : ".";
    std::filesystem::create_directories(gOut);
    twtest::TempDir tmp;
    for (const char* name : {"c", "e", "g", "prog"})
        std::filesystem::create_directories(tmp / name);
    std::filesystem::copy_file(TW_HELP_SOURCE, tmp / "prog" / "TarnwickBackup.hlp");
    twtest::BuildTree(tmp / "c", "Daily.BDF\nWeekly Documents.BDF\nEverything.BDF\n");
    platform::fs::DriveTable table;
    table.drives.push_back({'C', tmp / "c", 2, "", "", std::nullopt, false});
    table.drives.push_back({'E', tmp / "e", 1, "", "", std::nullopt, false});
    table.drives.push_back({'G', tmp / "g", 4, "", "", std::nullopt, false});
    auto fs = platform::fs::FileSystem::Create(table);
    platform::fs::InstallProcessFileSystem(fs);
    platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>());
    auto settings = std::make_shared<tarnwickbackup::SettingsStore>(tmp / "settings.ini");
    settings->SaveSetting("Destinations", "Dest0", "e:\\backups\\daily\\");
    settings->SaveSetting("General", "CurrentDestination", "e:\\backups\\daily\\");
    tarnwickbackup::InstallSettings(settings);
    auto& objApp = tarnwickbackup::App();
    objApp.Path = fs->AppPathOf(tmp / "prog");
    objApp.Major = 3;
    objApp.Revision = 1;
    objApp.blnHeadless = true;  // no modal waits while drawing

    tarnwickbackup::MainForm form(fs);
    form.Form_Load();
    form.Form_Activate();
    form.cboBackup->setCurrentIndex(0);
    form.adjustSize();
    Save(form, "main");
    form.resize(form.width() + 300, form.height() + 120);
    Save(form, "main-wide");
    form.resize(form.minimumSizeHint());
    Save(form, "main-small");

    tarnwickbackup::Splash splash;
    splash.ShowMe();
    Save(splash, "splash");

    tarnwickbackup::ShowText text;
    text.ShowMe("Error Log", "", "SpaceNote", "Always show this message", false);
    text.txtMessage->setPlainText(
        "Unable to copy file \"C:\\Data\\Budget 2026.xls\" to \"E:\\backups\\daily\\C$\\Data\\\":\n"
        "    Permission denied (70)\n"
        "Unable to copy file \"C:\\Mail\\inbox.mbx\":\n    File not found (53)\n");
    Save(text, "showtext");

    tarnwickbackup::DriveProgress progress;
    progress.ShowMe(2);
    progress.SetFolder("C:\\Documents and Settings\\Ann\\My Documents\\Projects\\2026");
    progress.SetFile("Quarterly report (final).doc");
    Save(progress, "progress");

    progress.ShowMe(0);
    progress.StartCounting();
    progress.SetCounted(12345, 876543210);
    progress.SetFolder("C:\\Documents and Settings\\Ann\\My Documents\\Projects\\2026");
    progress.SetFile("Quarterly report (final).doc");
    Save(progress, "progress-counting");

    progress.StartCopying(20000, 1234567890);
    progress.SetCopied(7345, 456789012);
    Save(progress, "progress-backup");

    // The modal windows are drawn from inside their own event loop.
    {
        tarnwickbackup::BackupModeDialog dialog;
        QTimer::singleShot(0, [&dialog] {
            Save(dialog, "options");
            dialog.optFilterLastModDate->click();
            dialog.chkClearArchiveFlag->click();
            Save(dialog, "options-incremental");
            dialog.resize(dialog.minimumSizeHint());
            Save(dialog, "options-small");
            dialog.cmdCancel->click();
        });
        dialog.blnShowMe(*form.objManager(), "Weekly Documents", "e:\\backups\\daily\\");
    }
    {
        tarnwickbackup::WaitForDrive wait(nullptr, {}, 1000);
        QTimer::singleShot(0, [&wait] { Save(wait, "wait-for-drive"); });
        wait.blnShowMe(fs->GetDrive("e:"), std::chrono::system_clock::now(), 1);
    }
    // The instruction editors' windows on a drive of their own with a real
    // tree of instruction files of type "Documents".
    {
        twtest::TempDir tmpDocs;
        const std::string strHead = ";Backup type definition file\r\n";
        const std::pair<const char*, const char*> aFiles[] = {
            {"", "ExcludeFamily\r\n"},
            {"Documents and Settings/Ann/My Documents",
             "IncludeFamily\r\nSuppressPattern OLD*\r\nIncludeFiles *.DOC\r\n"
             "IncludeFiles *.XLS\r\nIncludeFiles *.PDF\r\nIncludeFiles REPORT??.TXT\r\n"
             "IncludeFiles BUDGET 2026*.*\r\nIncludeFiles *.ODT\r\nExcludeFiles ~*\r\n"
             "ExcludeFiles *.TMP\r\nExcludeFiles *.BAK\r\n"},
            {"Documents and Settings/Ann/My Documents/My Music", "SkipFamily\r\n"},
            {"Documents and Settings/Ann/My Documents/Projects 2026/Quarterly reports (final)",
             "ExcludeFamily\r\nIncludeFiles *.PDF\r\n"},
            {"Documents and Settings/Ann/My Documents/Old letters",
             "IncludeFamily\r\nSuppressPattern OLD*\r\n"},
            {"Documents and Settings/Ann/Mail", "IncludeFamily\r\nExcludeFiles *.IDX\r\n"},
            {"Documents and Settings/Ann/Notes", "ExcludeFiles *.BAK\r\n"},
            {"Program Files/Editor", "IncludeFamily\r\n"},
        };
        for (const auto& [pszRel, pszLines] : aFiles)
            twtest::WriteFile(tmpDocs / "c" / pszRel / "Documents.BDF", strHead + pszLines);
        platform::fs::DriveTable tableDocs;
        tableDocs.drives.push_back({'C', tmpDocs / "c", 2, "", "", std::nullopt, false});
        auto fsDocs = platform::fs::FileSystem::Create(tableDocs);
        savecore::BackupManager objManager;
        objManager.Init(fsDocs);
        objManager.LoadDrives();
        objManager.blnProcess("Documents", "", true);
        // Damaged after the run: listed with "??".
        twtest::WriteFile(tmpDocs / "c" / "Program Files/Editor/Documents.BDF", "Nonsense\r\n");

        tarnwickbackup::BackupDefList list;
        QTimer::singleShot(0, [&list] {
            Save(list, "deflist");
            list.lvwFiles->setCurrentItem(list.lvwFiles->topLevelItem(2));
            list.resize(list.minimumSize());
            Save(list, "deflist-small");
            list.cmdClose->click();
        });
        list.ShowMe(objManager);

        const std::string strPath = "C:\\Documents and Settings\\Ann\\My Documents";
        tarnwickbackup::FolderNode node;
        node.objDefFile = std::make_unique<savecore::DefinitionFile>();
        node.objDefFile->Init(objManager, "Documents", fsDocs->GetFolder(strPath));
        node.objDefFile->blnLoad();
        tarnwickbackup::EditFolderAdvanced advanced;
        QTimer::singleShot(0, [&advanced] {
            advanced.lvwFiles[1]->setCurrentRow(1);
            Save(advanced, "advanced");
            advanced.resize(advanced.minimumSizeHint());
            Save(advanced, "advanced-small");
            advanced.done(0);
        });
        advanced.ShowMe(node, strPath);
    }

    // The drive editor over drives of every kind: ready with and without
    // instructions, a CD drive without a disc, a network drive.
    {
        for (const char* name : {"d", "n"}) std::filesystem::create_directories(tmp / name);
        const std::string strHeader = ";Backup type definition file\r\n";
        twtest::WriteFile(tmp / "c" / "Weekly Documents.BDF", strHeader + "IncludeFamily\r\n");
        twtest::WriteFile(tmp / "n" / "Weekly Documents.BDF", strHeader + "ExcludeFamily\r\n");
        platform::fs::DriveTable drives;
        drives.drives.push_back({'C', tmp / "c", 2, "SYSTEM", "", std::nullopt, false});
        drives.drives.push_back({'D', tmp / "d", 2, "DATA", "", std::nullopt, false});
        drives.drives.push_back({'F', tmp / "no-disc", 4, "", "", std::nullopt, false});
        drives.drives.push_back(
            {'N', tmp / "n", 3, "NAS", "\\\\nas\\documents", std::nullopt, false});
        savecore::BackupManager manager;
        manager.Init(platform::fs::FileSystem::Create(drives));
        manager.blnIncludeMiscDrives(true);
        manager.LoadDrives();
        tarnwickbackup::EditDefDrives editor;
        QTimer::singleShot(0, [&editor] {
            Save(editor, "drives");
            editor.lvwDrives->setCurrentItem(editor.lvwDrives->topLevelItem(2));
            editor.cmdClose->setText(QStringLiteral("Stop"));
            editor.cmdEditDrive->setEnabled(false);
            editor.cmdComputeAllSpace->setEnabled(false);
            editor.lblFolder->setText(QStringLiteral(
                "C:\\Documents and Settings\\Ann\\My Documents\\Projects\\2026\\Quarterly "
                "reports\\Drafts and older versions"));
            Save(editor, "drives-calculating");
            editor.cmdClose->setText(QStringLiteral("Close"));
            editor.lblFolder->setText(QString());
            editor.resize(editor.minimumSizeHint());
            Save(editor, "drives-small");
            editor.resize(900, 420);
            Save(editor, "drives-wide");
            editor.cmdClose->click();
        });
        editor.ShowMe("Weekly Documents", manager);
    }
    std::unique_ptr<QMessageBox> full(platform::qt::QtUi::NewMessageBox(
        "The backup disc is full.\r\n\r\nPlease wait for Windows to finish writing data to the "
        "disc (you should be able to tell from the lights on the drive), then remove the "
        "disc.\r\n\r\nThen insert another disc (formatted, but not necessarily empty), and "
        "click \"OK\" after Windows has finished loading it (wait for the lights again, or a "
        "popup message).\r\n\r\nClick \"Cancel\" to stop the backup.",
        64 + 1, "Tarnwick Backup"));
    Save(*full, "msgbox-disc-full");

    auto* viewer =
        platform::qt::HelpViewer::ShowTopic(tmp / "prog" / "TarnwickBackup.hlp", 1000, false);
    Save(*viewer, "help-1000");
    platform::qt::HelpViewer::ShowTopic(tmp / "prog" / "TarnwickBackup.hlp", 2000, false);
    Save(*viewer, "help-2000");
    platform::qt::HelpViewer::ShowTopic(tmp / "prog" / "TarnwickBackup.hlp", 2001, false);
    Save(*viewer, "help-2001");

    // The restore windows over a real backup on E:: a regular one holding
    // C$ and D$, and a folder of three dated ones.
    {
        twtest::BuildTree(tmp / "e",
                          "backups/regular/C$/Data/a.txt\nbackups/regular/D$/Photos/b.jpg\n"
                          "backups/dated/28Nov2026_11$45PM/C$/a.txt\n"
                          "backups/dated/05Dec2026_01$23PM/C$/a.txt\n"
                          "backups/dated/06Dec2026_09$05AM/C$/a.txt\n"
                          "backups/dated/06Dec2026_09$05AM/D$/b.txt\n");
        tarnwickbackup::RestoreDrives drives;
        WhenModal<tarnwickbackup::RestoreDrives>([](tarnwickbackup::RestoreDrives& w) {
            Save(w, "restore-drives");
            w.resize(w.minimumSizeHint());
            Save(w, "restore-drives-small");
            w.cmdClose->click();
        });
        drives.ShowMe(*form.objManager(), "E:\\backups\\regular\\");

        tarnwickbackup::RestoreDrives dated;
        WhenModal<tarnwickbackup::RestoreDated>([](tarnwickbackup::RestoreDated& w) {
            Save(w, "restore-dated");
            w.lstBackups->setCurrentRow(0);
            w.resize(w.minimumSizeHint());
            Save(w, "restore-dated-small");
            WhenModal<tarnwickbackup::RestoreDrives>([](tarnwickbackup::RestoreDrives& d) {
                Save(d, "restore-drives-dated");
                d.cmdClose->click();
            });
            w.cmdOkay->click();
        });
        dated.ShowMe(*form.objManager(), "E:\\backups\\dated\\");
    }
    std::unique_ptr<QMessageBox> both(platform::qt::QtUi::NewMessageBox(
        "The backup destination you selected has both a regular backup, and additional backups "
        "in subfolders named for when those backups were made. Click \"Yes\" to restore one of "
        "the dated subfolder backups, or \"No\" to restore the main backup.",
        64 + 4, "Tarnwick Backup"));
    Save(*both, "msgbox-restore-both");
    platform::qt::HelpViewer::ShowTopic(tmp / "prog" / "TarnwickBackup.hlp", 3000, false);
    Save(*viewer, "help-3000");
    std::unique_ptr<QMessageBox> box(platform::qt::QtUi::NewMessageBox(
        "The backup type name may not contain any of the following characters:\r\n\r\n" +
            std::string(35, ' ') + " \\ / : * ? \" < > | .",
        16, "Tarnwick Backup"));
    Save(*box, "msgbox-forbidden");
    std::unique_ptr<QMessageBox> ask(platform::qt::QtUi::NewMessageBox(
        "Do you really want to delete backup type \"Daily\"?", 32 + 4 + 256, "Tarnwick Backup"));
    Save(*ask, "msgbox-delete");
    {
        // Every image, bold and plain, three levels deep.
        twtest::BuildTree(tmp / "c",
                          "Shots.BDF=IncludeFamily\n"
                          "Documents/Letters/2025/\nDocuments/Letters/2026/\n"
                          "Documents/Shots.BDF=ExcludeFamily\n"
                          "Documents/Projects/Shots.BDF=IncludeFamily\nDocuments/Projects/Old/\n"
                          "Music/Shots.BDF=ExcludeFamily\n"
                          "Music/Live/\nPhotos/Raw/\nTemp/Shots.BDF=SkipFamily\nTemp/Cache/\n");
        twtest::WriteFile(tmp / "c" / "Photos" / "Shots.BDF",
                          "ExcludeFamily\r\nIncludeFiles *.JPG\r\n");
        auto* manager = form.objManager();
        manager->strSetName("Shots");
        savecore::DriveProcessor* proc = manager->colDriveProcs()->front().get();
        tarnwickbackup::EditDefFolders editor;
        QTimer::singleShot(0, [&editor] {
            editor.Form_Activate();
            for (QTreeWidgetItemIterator it(editor.tvwFolders); *it; ++it) (*it)->setExpanded(true);
            editor.tvwFolders->setCurrentItem(editor.tvwFolders->topLevelItem(0)->child(0));
            Save(editor, "edit-folders");
            editor.resize(editor.minimumSizeHint());
            Save(editor, "edit-folders-small");
            editor.done(0);
        });
        editor.ShowMe(*proc, "C:  (SYSTEM)");
    }
    {
        // The restore windows over a real backup of a tree three levels deep.
        const std::string strDocs = "Documents and Settings/Ann/My Documents/";
        twtest::BuildTree(tmp / "c",
                          "Restore.BDF=IncludeFamily\n" + strDocs + "Budget 2026.xls\n" + strDocs +
                              ".~lock.Budget 2026.xls#\n" + strDocs +
                              "Quarterly report (final).doc\n" + strDocs + "letter to Bob.odt\n" +
                              strDocs + "notes.txt\n" + strDocs +
                              "Projects 2026/Quarterly reports (final)/q1.pdf\n" +
                              "Documents and Settings/Ann/Mail/inbox.mbx\n" +
                              "Program Files/Editor/editor.exe\nWindows/System/drivers/x.sys\n");
        std::filesystem::create_directories(tmp / "e" / "backups" / "restore");
        auto* manager = form.objManager();
        manager->InitBackupMode();
        manager->blnProcess("Restore", "E:\\backups\\restore\\", false);
        auto& scripted = dynamic_cast<platform::ui::ScriptedUi&>(platform::ui::Ui());
        tarnwickbackup::RestoreFolders restore;
        QTimer::singleShot(0, [&restore, &scripted] {
            restore.Form_Activate();
            for (QTreeWidgetItemIterator it(restore.tvwFolders); *it; ++it)
                (*it)->setExpanded(true);
            const auto found = restore.tvwFolders->findItems(QStringLiteral("My Documents"),
                                                             Qt::MatchExactly | Qt::MatchRecursive);
            if (!found.isEmpty()) restore.tvwFolders->setCurrentItem(found.front());
            Save(restore, "restore-folders");
            restore.resize(restore.minimumSizeHint());
            Save(restore, "restore-folders-small");
            // A real restore, drawn once while it runs, at the smallest size.
            bool blnDrawn = false;
            scripted.OnDoEvents([&restore, &blnDrawn] {
                if (blnDrawn || !restore.blnRestoring() || restore.lblFile->text().isEmpty())
                    return;
                blnDrawn = true;
                Save(restore, "restore-running");
            });
            scripted.QueueMsgBoxAnswer(platform::ui::vbYes);
            scripted.QueueInputBoxAnswer(
                "C:\\Restored\\Documents and Settings\\Ann\\My "
                "Documents from the backup of December");
            scripted.QueueMsgBoxAnswer(platform::ui::vbYes);
            restore.cmdRestore_Click();
            scripted.OnDoEvents(nullptr);
            if (restore.isVisible()) restore.done(0);
        });
        restore.ShowMe(*manager, "E:\\backups\\restore\\C$", "C:");

        tarnwickbackup::RestoreFiles files;
        QTimer::singleShot(0, [&files] {
            files.filNames->item(1)->setSelected(true);
            files.filNames->item(3)->setSelected(true);
            Save(files, "restore-files");
            files.resize(files.minimumSizeHint());
            Save(files, "restore-files-small");
            files.done(0);
        });
        std::vector<std::string> colFiles;
        files.blnShowMe("E:\\backups\\restore\\C$\\Documents and Settings\\Ann\\My Documents",
                        colFiles);
    }
    return 0;
}
