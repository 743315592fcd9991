// What an installation of the add-on writes to the registry and deletes from
// it, and the registration of its component library.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/win/Registry.h"

namespace notavex::installer {

using platform::win::HKEY;
using platform::win::Registry;

inline constexpr char kAddonKey[] = "Software\\Notavex\\Annotator";
inline constexpr char kEarlierAddonKey[] = "Software\\Nota-Vex\\Annotator";
inline constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notavex";
inline constexpr char kAddonVersion[] = "3.0.0.551";
inline constexpr char kDistributionUnitKey[] =
    "Software\\Microsoft\\Code Store Database\\Distribution Units\\"
    "{6C3E1A52-7B0D-4E8F-9A21-3D5F8C4B2E71}";

// Runs a command line and waits for it; false when it could not be started.
using CommandRunner = std::function<bool(const std::string& strCommandLine)>;

// A REG_SZ value without its terminating NUL; nothing when it cannot be read.
std::optional<std::string> ReadString(Registry& registry, HKEY hRoot, const std::string& strKey,
                                      const std::string& strName);

// DLLPath of the add-on key, else of the earlier releases' key.
std::optional<std::string> PreviousLibraryPath(Registry& registry);
bool blnPreviousInstallation(Registry& registry);

// ProgramFilesDir as the registry holds it; "" when it cannot be read.
std::string strProgramFilesDir(Registry& registry);

// The browser's version from its leading digits (5.50.4807.2300 is 5.5); 0
// when the key or value is missing.
double dblBrowserVersion(Registry& registry);

// Runs QuietUninstall of the add-on key, else of the earlier key, and waits.
void RunPreviousQuietUninstall(Registry& registry, const CommandRunner& run);

void DeleteNoteClass(Registry& registry);
// The uninstall entry and the add-on values; strInstaller is the installer's
// path in the install folder.
void WriteAddonValues(Registry& registry, const std::string& strInstaller,
                      const std::string& strLibraryPath);
void DeleteAddonValues(Registry& registry);
// Quiet: only the mail settings; else every setting of the user and the
// browser's record of the add-on.
void DeleteUserSettings(Registry& registry, bool blnQuiet);
void ClearBrowserCaches(Registry& registry);

void RegisterLibrary(const std::string& strLibraryPath, const CommandRunner& run);
void UnregisterLibrary(Registry& registry, const CommandRunner& run);

}  // namespace notavex::installer
