#include "WebPages.h"

#include <cstdlib>

#include "annotator/installer/InstallerTexts.h"
#include "platform/win/Process.h"
#include "platform/win/ShellFolders.h"

namespace notavex::installer {

namespace {

const char* strPath(PagePath lngPath) {
    switch (lngPath) {
        case kUpgradePage:
            return "help/index.html?reason=upgrade";
        case kFailurePage:
            return "download/msg/unsuccessful.html";
        case kInstallPage:
            return "help/index.html?reason=install";
        case kUninstallPage:
            return "product/get/uninstall.html";
    }
    return "";
}

}  // namespace

std::string strPageAddress(PagePath lngPath) {
    const char* server = std::getenv("NVServerName");
    const char* port = std::getenv("NVServerPort");
    std::string address = "http://";
    address += server ? server : texts::kDefaultServer;
    if (port) address += std::string(":") + port;
    const std::string path = strPath(lngPath);
    address += "/" + path;
    const auto question = path.find('?');
    if (question == std::string::npos)
        address += "?";
    else if (question + 1 < path.size())
        address += "&";
    return address + "major=3&minor=0&bug=0";
}

void OpenInBrowser(const std::string& strAddress) {
    platform::win::blnShellOpen("iexplore.exe", platform::win::strQuoteArgument(strAddress));
}

}  // namespace notavex::installer
