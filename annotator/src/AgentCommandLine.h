// What the agent is asked on its command line. Only the arguments count:
// the program's own path may well contain "-v" (a folder "my-vids").
#pragma once

struct AgentCommandLine {
    bool blnStartBrowser = false;  // -v
    bool blnAllYourBase = false;   // -ayb
};

AgentCommandLine ParseAgentCommandLine(int argc, const char* const* argv);
