// Wall-clock timing of a piece of work or of another program, and the
// median of repeated runs.
#pragma once

#include <sys/resource.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

struct ChildResult {
    double dblSeconds = 0;
    int lngExitCode = -1;   // -1 when the child did not exit normally
    long lngMaxRssKiB = 0;  // this child's peak resident set
};

class BenchClock {
  public:
    static double Now();
    static double Seconds(const std::function<void()>& fnWork);
    // Runs argv[0] with its arguments (searched in PATH), output to
    // /dev/null unless blnQuiet is false; times it from spawn to exit.
    static ChildResult Run(const std::vector<std::string>& colArgs, bool blnQuiet = true);
    static double Median(std::vector<double> colValues);
    static std::string Format(double dblValue, int lngDecimals);
};

}  // namespace bench
