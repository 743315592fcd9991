// The installer's mode, chosen by the option after the first "-" of its
// command line.
#pragma once

#include <string>
#include <vector>

namespace notavex::installer {

enum Mode {
    kRefuse = 0,
    kInstall = 1,
    kUninstall = 2,
    kRemoveFolder = 3,
    kQuietUninstall = 4,
    kCheckedInstall = 5
};

struct ModeChoice {
    Mode lngMode = kRefuse;
    std::string strFolder;  // mode 3: the folder to remove
};

// The arguments after the program's own name, as the program got them.
ModeChoice ParseMode(const std::vector<std::string>& aArguments);

}  // namespace notavex::installer
