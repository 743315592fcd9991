#include "BenchClock.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace bench {

double BenchClock::Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double BenchClock::Seconds(const std::function<void()>& fnWork) {
    const double dblStart = Now();
    fnWork();
    return Now() - dblStart;
}

ChildResult BenchClock::Run(const std::vector<std::string>& colArgs, bool blnQuiet) {
    std::vector<char*> argv;
    for (const std::string& s : colArgs) argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (blnQuiet) posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ChildResult result;
    const double dblStart = Now();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + colArgs[0] + ": " + std::strerror(rc));
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) throw std::runtime_error("wait4 failed");
    }
    result.dblSeconds = Now() - dblStart;
    result.lngExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.lngMaxRssKiB = usage.ru_maxrss;
    return result;
}

double BenchClock::Median(std::vector<double> colValues) {
    if (colValues.empty()) return 0;
    std::sort(colValues.begin(), colValues.end());
    const std::size_t mid = colValues.size() / 2;
    return colValues.size() % 2 ? colValues[mid] : (colValues[mid - 1] + colValues[mid]) / 2;
}

std::string BenchClock::Format(double dblValue, int lngDecimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", lngDecimals, dblValue);
    return buf;
}

}  // namespace bench
