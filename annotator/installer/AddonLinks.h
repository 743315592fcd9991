// The add-on's three links, all starting the tray agent: each in the
// all-users folder when it can be written, else in the user's own.
#pragma once

#include <string>

namespace notavex::installer {

void CreateShortcuts(const std::string& strFolder);
// Removes the links from both the all-users and the user's folders.
void DeleteShortcuts();

}  // namespace notavex::installer
