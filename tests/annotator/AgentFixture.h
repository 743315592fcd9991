// Temporary folders for every location, the stand-in component library
// registered there, agents started as real processes and the stand-in's
// call log read back.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform_win/WinFixture.h"

namespace twtest {

class AgentFixture : public WinFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // regsvr32 on the stand-in, as the installer does.
    void RegisterStandin();
    // Starts NVAgent with the arguments (argv[0] as given, or its path).
    pid_t StartAgent(const std::vector<std::string>& args, const std::string& strArgv0 = "");
    // The exit status, or nothing while it still runs after the limit.
    std::optional<int> WaitExit(pid_t pid, int lngLimitMs);
    // Waits until the log has at least that many lines.
    std::vector<std::string> WaitForLog(size_t lngLines, int lngLimitMs = 5000);
    // Posts the stop message to the running agent and expects it to end.
    void StopAgent(pid_t pid);

  private:
    std::vector<pid_t> mStarted;
};

}  // namespace twtest
