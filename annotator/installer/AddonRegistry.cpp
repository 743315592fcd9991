#include "AddonRegistry.h"

#include <cstdlib>
#include <vector>

#include "platform/win/HiveText.h"

namespace notavex::installer {

using namespace platform::win;

namespace {

constexpr char kCategoriesKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\"
    "Component Categories\\";

void SetString(Registry& registry, HKEY hKey, const std::string& strName,
               const std::string& strText) {
    registry.SetValue(hKey, strName, REG_SZ, strText.c_str(),
                      static_cast<uint32_t>(strText.size() + 1));
}

}  // namespace

std::optional<std::string> ReadString(Registry& registry, HKEY hRoot, const std::string& strKey,
                                      const std::string& strName) {
    HKEY h = 0;
    if (registry.OpenKey(hRoot, strKey, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    uint32_t size = 0;
    uint32_t type = 0;
    int32_t r = registry.QueryValue(h, strName, &type, nullptr, &size);
    std::string text;
    if (r == ERROR_SUCCESS) {
        text.resize(size);
        r = registry.QueryValue(h, strName, &type, text.data(), &size);
        text.resize(r == ERROR_SUCCESS ? size : 0);
    }
    registry.CloseKey(h);
    if (r != ERROR_SUCCESS) return std::nullopt;
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::optional<std::string> PreviousLibraryPath(Registry& registry) {
    auto path = ReadString(registry, HKEY_LOCAL_MACHINE, kAddonKey, "DLLPath");
    return path ? path : ReadString(registry, HKEY_LOCAL_MACHINE, kEarlierAddonKey, "DLLPath");
}

bool blnPreviousInstallation(Registry& registry) {
    return PreviousLibraryPath(registry).has_value();
}

std::string strProgramFilesDir(Registry& registry) {
    return ReadString(registry, HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir")
        .value_or("");
}

double dblBrowserVersion(Registry& registry) {
    const auto text = ReadString(registry, HKEY_LOCAL_MACHINE,
                                 "Software\\Microsoft\\Internet Explorer", "Version");
    return text ? std::strtod(text->c_str(), nullptr) : 0.0;
}

void RunPreviousQuietUninstall(Registry& registry, const CommandRunner& run) {
    for (const char* key : {kAddonKey, kEarlierAddonKey}) {
        const auto command = ReadString(registry, HKEY_LOCAL_MACHINE, key, "QuietUninstall");
        if (command && !command->empty()) {
            run(*command);
            return;
        }
    }
}

void DeleteNoteClass(Registry& registry) {
    SHDeleteKey(registry, HKEY_CLASSES_ROOT, "Notavex.NVNote.1");
}

void WriteAddonValues(Registry& registry, const std::string& strInstaller,
                      const std::string& strLibraryPath) {
    const std::string quoted = "\"" + strInstaller + "\"";
    HKEY h = 0;
    if (registry.CreateKey(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_ALL_ACCESS, &h) ==
        ERROR_SUCCESS) {
        SetString(registry, h, "DisplayName", "Notavex");
        SetString(registry, h, "UninstallString", quoted + " -u");
        registry.FlushKey(h);
        registry.CloseKey(h);
    }
    if (registry.CreateKey(HKEY_LOCAL_MACHINE, kAddonKey, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        SetString(registry, h, "Version", kAddonVersion);
        SetString(registry, h, "DLLPath", strLibraryPath);
        SetString(registry, h, "QuietUninstall", quoted + " -q");
        registry.FlushKey(h);
        registry.CloseKey(h);
    }
}

void DeleteAddonValues(Registry& registry) {
    HKEY h = 0;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, kAddonKey, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        for (const char* name : {"Version", "DLLPath", "QuietUninstall"})
            registry.DeleteValue(h, name);
        registry.CloseKey(h);
    }
    registry.DeleteKey(HKEY_LOCAL_MACHINE, kAddonKey);
    registry.DeleteKey(HKEY_LOCAL_MACHINE, kUninstallKey);
}

void DeleteUserSettings(Registry& registry, bool blnQuiet) {
    if (blnQuiet) {
        SHDeleteKey(registry, HKEY_CURRENT_USER, "SOFTWARE\\Notavex\\annotator\\1.0\\Mail");
        return;
    }
    SHDeleteKey(registry, HKEY_CURRENT_USER, "SOFTWARE\\Notavex");
    SHDeleteKey(registry, HKEY_LOCAL_MACHINE, kDistributionUnitKey);
}

void ClearBrowserCaches(Registry& registry) {
    // The shell enumerates its browser bands again once these are gone.
    for (const char* category :
         {"{00021493-0000-0000-C000-000000000046}", "{00021494-0000-0000-C000-000000000046}"})
        SHDeleteKey(registry, HKEY_CURRENT_USER, std::string(kCategoriesKey) + category + "\\Enum");
}

void RegisterLibrary(const std::string& strLibraryPath, const CommandRunner& run) {
    // Quoted: a folder here has no blank-free short form.
    run("Regsvr32.exe /s \"" + strLibraryPath + "\"");
}

void UnregisterLibrary(Registry& registry, const CommandRunner& run) {
    const auto path = ReadString(registry, HKEY_LOCAL_MACHINE, kAddonKey, "DLLPath");
    if (path && !path->empty()) run("Regsvr32.exe /u /s \"" + *path + "\"");
}

}  // namespace notavex::installer
