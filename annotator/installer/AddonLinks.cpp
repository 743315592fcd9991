#include "AddonLinks.h"

#include <unistd.h>

#include "annotator/installer/AddonFiles.h"
#include "platform/win/Locations.h"
#include "platform/win/ShellFolders.h"

namespace notavex::installer {

using namespace platform::win;

namespace {

constexpr char kAgentLink[] = "Notavex Agent.lnk";
constexpr char kStartLink[] = "Start Notavex.lnk";
constexpr char kBrowserDescription[] = "Start an Notavex-enabled browser";

struct LinkPlace {
    const char* strName;
    const char* strArguments;
    const char* strDescription;
    int lngAllUsers;
    int lngUser;
    bool blnSubfolder;  // in the subfolder Notavex
};

constexpr LinkPlace kLinks[] = {
    {kAgentLink, "", "Notavex Icon", CSIDL_COMMON_STARTUP, CSIDL_STARTUP, false},
    {kStartLink, "-v", kBrowserDescription, CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU, false},
    {kStartLink, "-v", kBrowserDescription, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS, true},
};

bool blnSaveIn(int lngFolder, const LinkPlace& place, const ShellLink& link) {
    std::string folder;
    if (!SHGetSpecialFolderPath(lngFolder, &folder, true)) return false;
    if (place.blnSubfolder) {
        folder = strJoin(folder, "Notavex");
        if (!blnMakeFolders(folder)) return false;
    }
    return SaveShellLink(strJoin(folder, place.strName), link) == S_OK;
}

void DeleteLink(int lngFolder, const char* strName) {
    std::string folder;
    if (SHGetSpecialFolderPath(lngFolder, &folder, false))
        unlink(strLinkFile(strJoin(folder, strName)).c_str());
}

void DeleteSubfolder(int lngFolder) {
    std::string folder;
    if (!SHGetSpecialFolderPath(lngFolder, &folder, false)) return;
    folder = strJoin(folder, "Notavex");
    ForEachFile(folder, [&](const std::string& name) { unlink(strJoin(folder, name).c_str()); });
    rmdir(folder.c_str());
}

}  // namespace

void CreateShortcuts(const std::string& strFolder) {
    for (const auto& place : kLinks) {
        ShellLink link;
        link.strTarget = strJoin(strFolder, kAgentName);
        link.strArguments = place.strArguments;
        link.strDescription = place.strDescription;
        if (!blnSaveIn(place.lngAllUsers, place, link)) blnSaveIn(place.lngUser, place, link);
    }
}

void DeleteShortcuts() {
    for (int folder : {CSIDL_COMMON_STARTUP, CSIDL_STARTUP}) DeleteLink(folder, kAgentLink);
    for (int folder : {CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU}) DeleteLink(folder, kStartLink);
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) DeleteSubfolder(folder);
}

}  // namespace notavex::installer
