#include "Globals.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "SettingsStore.h"
#include "ShowText.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/qt/HelpViewer.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupManager.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace {

const char gchModuleTag = 0;  // an address inside the program

std::shared_ptr<SettingsStore>& InstalledSettings() {
    static std::shared_ptr<SettingsStore> objStore;
    return objStore;
}

bool blnEndsWith(const std::string& s, const std::string& strEnd) {
    return s.size() >= strEnd.size() &&
           s.compare(s.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
}

}  // namespace

AppObject& App() {
    static AppObject objApp{"", 0, 0, 0, "", gstrHELP_FILE, false};
    return objApp;
}

const tarnwick::ModuleErrors& AppErrors() {
    static const tarnwick::ModuleErrors objErrors(&gchModuleTag);
    return objErrors;
}

SettingsStore& Settings() {
    auto& objStore = InstalledSettings();
    if (!objStore) objStore = std::make_shared<SettingsStore>(SettingsStore::DefaultFilePath());
    return *objStore;
}

std::shared_ptr<SettingsStore> InstallSettings(std::shared_ptr<SettingsStore> objStore) {
    std::swap(InstalledSettings(), objStore);
    return objStore;
}

void ShowHelp(int32_t lngContext, int32_t lngOwner, bool blnPopup) {
    (void)lngOwner;  // a window of our own has no owner to attach to
    const std::string strWindowType = ">Normal";
    const std::string& strSpec = App().HelpFile;
    if (!blnEndsWith(strSpec, strWindowType)) {
        platform::ui::Ui().MsgBox("Invalid help file specification.", platform::ui::vbOKOnly,
                                  gstrAPP_TITLE);
        return;
    }
    const std::string strFile =
        App().Path + "\\" + strSpec.substr(0, strSpec.size() - strWindowType.size());
    const auto host = platform::fs::ProcessFileSystem().HostPathOf(strFile);
    std::filesystem::path helpFile = host ? *host : std::filesystem::path(strFile);
    // Installed, the program lies in <prefix>/bin and its help file where
    // the system keeps such data, <prefix>/share/tarnwickbackup; the
    // program's own folder still comes first.
    std::error_code ec;
    if (host && !std::filesystem::exists(*host, ec)) {
        const auto shared =
            host->parent_path().parent_path() / "share" / "tarnwickbackup" / host->filename();
        if (std::filesystem::exists(shared, ec)) helpFile = shared;
    }
    // The viewer says so itself when the file is missing.
    platform::qt::HelpViewer::ShowTopic(helpFile, lngContext, blnPopup);
}

void ShowErrorLog(const savecore::BackupManager& objManager) {
    if (objManager.strGetErrorLog().empty()) return;
    if (!objManager.blnSpaceOnly() && !objManager.blnWriteDeleteSucceeded()) {
        const std::string strParagraph = "\r\n\r\n";
        platform::ui::Ui().MsgBox(
            "Vantrel was completely unable write to the backup destination, \"" +
                objManager.strDest() +
                "\". A detailed error listing will follow, in case this helps solve the "
                "problem." +
                strParagraph +
                "If you are using a CD-RW drive, this probably means that the software to write "
                "to the drive using a drive letter is not installed, or is disabled. This "
                "software should have come with your CD-RW drive. Examples are Adaptec Direct "
                "CD, and Nero InCD." +
                strParagraph +
                "You can check if this is the problem by creating a folder on the drive letter "
                "for your CD-RW in Windows Explorer, and copying a file to it. If this doesn't "
                "work, consult your documentation for the CD-RW drive.",
            platform::ui::vbCritical + platform::ui::vbOKOnly, gstrAPP_TITLE);
    }
    ShowText objText;
    objText.ShowMe("Error Log", objManager.strGetErrorLog(), "", "", false);
}

void SetHelpContext(QWidget& objWindow, int32_t lngContext) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), &objWindow);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &objWindow, [&objWindow, lngContext] {
        try {
            ShowHelp(lngContext, 0, false);
        } catch (...) {
            AppErrors().TopError(objWindow.objectName().toStdString() + ".HelpContextID");
        }
    });
}

}  // namespace tarnwickbackup
