// The pages of the product's web server that the installer opens at the end
// of a mode, in the browser.
#pragma once

#include <string>

namespace notavex::installer {

// String-table numbers of the pages' paths.
enum PagePath { kUpgradePage = 1, kFailurePage = 2, kInstallPage = 3, kUninstallPage = 6 };

// "http://" server [":" port] "/" path, then the release's numbers as
// query pieces. NVServerName and NVServerPort override the product's server.
std::string strPageAddress(PagePath lngPath);
// Opens an address in the browser.
void OpenInBrowser(const std::string& strAddress);

}  // namespace notavex::installer
