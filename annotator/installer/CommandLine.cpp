#include "CommandLine.h"

namespace notavex::installer {

ModeChoice ParseMode(const std::vector<std::string>& aArguments) {
    // The arguments read as the one command-line tail Windows hands over, so
    // a folder given without quotes after -r still arrives whole.
    std::string rest;
    for (const auto& a : aArguments) rest += (rest.empty() ? "" : " ") + a;
    ModeChoice choice;
    const auto dash = rest.find('-');
    if (dash == std::string::npos || dash + 1 >= rest.size()) return choice;
    switch (rest[dash + 1]) {
        case 'i':
            choice.lngMode = kInstall;
            break;
        case 'u':
            choice.lngMode = kUninstall;
            break;
        case 'q':
            choice.lngMode = kQuietUninstall;
            break;
        case 'z':
            choice.lngMode = kCheckedInstall;
            break;
        case 'r': {
            auto start = dash + 2;
            while (start < rest.size() && (rest[start] == ' ' || rest[start] == '\t')) ++start;
            choice.strFolder = rest.substr(start);
            // Without a folder there is nothing it could rightly remove.
            if (!choice.strFolder.empty()) choice.lngMode = kRemoveFolder;
            break;
        }
        default:
            break;
    }
    return choice;
}

}  // namespace notavex::installer
