#include "Installer.h"

#include "annotator/installer/AddonFiles.h"
#include "annotator/installer/AddonLinks.h"
#include "annotator/installer/AddonRegistry.h"
#include "annotator/installer/InstallerTexts.h"
#include "annotator/installer/WebPages.h"
#include "annotator/installer/WindowCloser.h"
#include "platform/win/Locations.h"
#include "platform/win/Process.h"
#include "platform/win/SystemVersion.h"

namespace notavex::installer {

using namespace platform::win;

namespace {

constexpr int kPollMs = 20;
constexpr int kResultPageDelayMs = 750;

std::string strFileName(const std::string& strPath) {
    return strPath.substr(strPath.rfind('/') + 1);
}

}  // namespace

int lngSystemClass() {
    OsVersionInfo version;
    if (!GetVersionEx(&version)) return 3;
    if (version.lngPlatformId == VER_PLATFORM_WIN32_WINDOWS) return version.lngMinor == 0 ? 0 : 1;
    if (version.lngPlatformId == VER_PLATFORM_WIN32_NT) return version.lngMajor >= 4 ? 1 : 3;
    return 3;
}

Installer::Installer(Registry& registry, InstallerUi& ui, ModeChoice choice, std::string strOwnFile)
    : mRegistry(registry),
      mUi(ui),
      mChoice(std::move(choice)),
      mstrOwnFile(std::move(strOwnFile)),
      mlngSystemClass(lngSystemClass()) {}

const char* Installer::strTitle() const {
    return mChoice.lngMode == kInstall || mChoice.lngMode == kCheckedInstall
               ? texts::kInstallTitle
               : texts::kUninstallTitle;
}

Outcome Installer::Run() {
    switch (mChoice.lngMode) {
        case kInstall:
            return Install();
        case kUninstall:
            return Uninstall();
        case kRemoveFolder:
            return RemoveFolder();
        case kQuietUninstall:
            mblnQuiet = true;
            return Uninstall();
        case kCheckedInstall:
            return CheckedInstall();
        case kRefuse:
            break;
    }
    return Refuse();
}

Outcome Installer::Refuse() {
    mUi.Tell(texts::kRefusal, texts::kInstallerTitle);
    return {1, "refused: give -i, -z, -u or -q (-r is the uninstall's own step)"};
}

bool Installer::blnRunAndWait(const std::string& strCommandLine) {
    bool started = false;
    WhileWindowsRun(
        [&] {
            int32_t code = 0;
            started = platform::win::blnRunAndWait(strCommandLine, &code);
        },
        [this] { mUi.Pause(kPollMs); });
    return started;
}

Outcome Installer::CheckedInstall() {
    const double version = dblBrowserVersion(mRegistry);
    if (mlngSystemClass == 3) {
        mUi.Alert(texts::kSystemNotSupported);
        return {1, "stopped: this system is not supported"};
    }
    if (version >= 6) {
        if (mUi.blnGoToNotavex(std::string(texts::kBrowserVersionText) + " " + texts::kProductPage +
                               "."))
            OpenInBrowser(texts::kProductPage);
        return {1, "stopped: Internet Explorer 6 has its own release"};
    }
    if (version < 5) {
        mUi.Alert(std::string(texts::kOldBrowser) + " " + texts::kBrowserUpgradePage +
                  texts::kFreeUpgrade);
        return {1, "stopped: Internet Explorer 5.0 or higher is needed"};
    }
    if (!mUi.blnLicenceAccepted()) return {1, "cancelled: the licence agreement was not accepted"};
    return Install();
}

Outcome Installer::Install() {
    mUi.CreateProgress(true);
    mblnUpgrade = blnPreviousInstallation(mRegistry);
    const Outcome outcome = InstallSteps();
    OpenResultPage();
    mUi.DestroyProgress();
    return outcome;
}

Outcome Installer::InstallSteps() {
    const std::string folder = strInstallFolder(mRegistry);
    if (folder.empty()) return {2, "failed: the program-files folder cannot be determined"};
    if (mblnUpgrade) {
        mUi.SetStatus(texts::kClosingWindows);
        switch (CloseBrowserWindows(mUi, true, strTitle())) {
            case CloseResult::kCancelled:
                return {1, "cancelled: the previous installation is left as it was"};
            case CloseResult::kFailed:
                return {2, "failed: a browser or folder window would not close"};
            case CloseResult::kClosed:
                break;
        }
        mUi.SetStatus(texts::kRemovingPrevious);
        RunPreviousQuietUninstall(mRegistry,
                                  [this](const std::string& c) { return blnRunAndWait(c); });
    }
    mUi.SetStatus(texts::kInstallingNew);
    DeleteNoteClass(mRegistry);
    const std::string library = strPickLibraryName(folder);
    if (library.empty())
        return {2, "failed: notavex1.dll to notavex99.dll are all taken in " + folder};
    if (library != kLibraryName) DeleteAtRestart(mRegistry, strJoin(folder, kLibraryName));
    if (!blnCopyAddonFiles(strFolderOf(mstrOwnFile), strFileName(mstrOwnFile), folder, library,
                           mlngSystemClass, mUi.QueueCallback()))
        return {2, "failed: the add-on's files were not copied to " + folder};
    mUi.SetStatus(texts::kPreparingSettings);
    const std::string libraryPath = strJoin(folder, library);
    RegisterLibrary(libraryPath, [this](const std::string& c) { return blnRunAndWait(c); });
    // The copy is made under the table's name, so that is the name recorded.
    WriteAddonValues(mRegistry, strJoin(folder, kInstallerName), libraryPath);
    CreateShortcuts(folder);
    ClearBrowserCaches(mRegistry);
    StartAgent(folder);
    mUi.SetStatus(texts::kSuccess);
    mblnSuccess = true;
    return {};
}

void Installer::OpenResultPage() {
    const PagePath page = !mblnSuccess ? kFailurePage : mblnUpgrade ? kUpgradePage : kInstallPage;
    if (mChoice.lngMode == kCheckedInstall && mblnSuccess) {
        mUi.Pause(kResultPageDelayMs);
        OpenInBrowser(strPageAddress(page));
    } else if (mChoice.lngMode == kInstall && mblnUpgrade) {
        OpenInBrowser(strPageAddress(page));
    }
}

Outcome Installer::Uninstall() {
    // Only the installer of the recorded install folder removes anything: a
    // copy elsewhere (in a downloads folder, say) would delete its own
    // neighbours.
    const auto library = PreviousLibraryPath(mRegistry);
    if (!library || library->empty()) return {1, "refused: no installation of Notavex is recorded"};
    const std::string folder = strFolderOf(*library);
    if (!blnSameFolder(strFolderOf(mstrOwnFile), folder))
        return {1, "refused: only the installer in " + folder + " removes that installation"};
    mUi.CreateProgress(false);
    if (!mblnQuiet && CloseBrowserWindows(mUi, false, strTitle()) == CloseResult::kCancelled) {
        mUi.DestroyProgress();
        return {1, "cancelled: nothing was removed"};
    }
    StopAgent([this] { mUi.Pause(kPollMs); });
    UnregisterLibrary(mRegistry, [this](const std::string& c) { return blnRunAndWait(c); });
    DeleteAddonValues(mRegistry);
    DeleteShortcuts();
    DeleteUserSettings(mRegistry, mblnQuiet);
    ClearBrowserCaches(mRegistry);
    Outcome outcome;
    if (mblnQuiet) {
        DeleteFolderFiles(folder, mUi.QueueCallback());
    } else {
        const std::string why = strStartRemovalCopy(mstrOwnFile, folder);
        if (!why.empty()) outcome = {2, "failed: " + why + "; " + folder + " is left in place"};
    }
    mUi.DestroyProgress();
    return outcome;
}

Outcome Installer::RemoveFolder() {
    std::string folder = mChoice.strFolder;
    if (!blnRemovalHandedOver(mstrOwnFile, folder))
        return {1,
                "refused: " + folder + " was not handed over by an uninstall; nothing was deleted"};
    mUi.CreateProgress(false);
    DeleteFolderFiles(folder, mUi.QueueCallback());
    // This copy, its record and its private folder go at the next restart,
    // as a running program's file would on the systems this comes from.
    const std::string ownFolder = strFolderOf(mstrOwnFile);
    DeleteAtRestart(mRegistry, mstrOwnFile);
    DeleteAtRestart(mRegistry, strJoin(ownFolder, kRemovalRecordName));
    DeleteAtRestart(mRegistry, ownFolder.substr(0, ownFolder.size() - 1));
    OpenInBrowser(strPageAddress(kUninstallPage));
    mUi.DestroyProgress();
    return {};
}

}  // namespace notavex::installer
