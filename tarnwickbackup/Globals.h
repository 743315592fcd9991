// Program-wide state and routines: the App object (program folder, version,
// command line, help file), the program's error wrappers, the settings
// store, and the help routine with the F1 key of each window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class QWidget;

namespace tarnwick {
class ModuleErrors;
}

namespace savecore {
class BackupManager;
}

namespace tarnwickbackup {

class SettingsStore;

struct AppObject {
    std::string Path;  // the program's folder as a Windows path
    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Revision = 0;
    std::string strCommandLine;  // the arguments as one string
    std::string HelpFile;        // the help file specification
    bool blnHeadless = false;    // no display: nobody can be asked
};

// Set up by main (and by tests) before the main window loads.
AppObject& App();

// Recorded names read "TarnwickBackup.<Window>.<routine>".
const tarnwick::ModuleErrors& AppErrors();

// The settings store of the process; made from the environment on first
// use unless one was installed.
SettingsStore& Settings();
std::shared_ptr<SettingsStore> InstallSettings(std::shared_ptr<SettingsStore> objStore);

// The help routine: opens the help file at lngContext in the help viewer
// and returns at once. lngOwner and blnPopup as the help viewer takes them
// (every caller passes 0 and False).
void ShowHelp(int32_t lngContext, int32_t lngOwner, bool blnPopup);
// The error-log display after an operation of the engine: nothing when
// nothing was logged; else the log in the text window, after a word on
// CD-RW software when a backup could write nothing at all. No trap of its
// own: failures reach the caller's.
void ShowErrorLog(const savecore::BackupManager& objManager);

// F1 in objWindow opens the help file at lngContext.
void SetHelpContext(QWidget& objWindow, int32_t lngContext);

}  // namespace tarnwickbackup
