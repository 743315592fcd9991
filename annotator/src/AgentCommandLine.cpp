#include "annotator/src/AgentCommandLine.h"

#include <string_view>

AgentCommandLine ParseAgentCommandLine(int argc, const char* const* argv) {
    AgentCommandLine cmd;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-v") cmd.blnStartBrowser = true;
        if (arg == "-ayb") cmd.blnAllYourBase = true;
    }
    return cmd;
}
