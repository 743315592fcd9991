// Run once at system start (nvrestartops.service): deletes or moves the
// files that installers asked to be dealt with at the next start, never
// through a symbolic link, and clears the lists. Exit 0, or 1 when an entry
// failed (each failure on standard error).
#include <cstdio>

#include "platform/win/Registry.h"
#include "platform/win/RestartOps.h"

int main() {
    auto registry = platform::win::OpenRegistry();
    const auto failures = platform::win::RunPendingOperations(*registry);
    for (const auto& f : failures) std::fprintf(stderr, "nvrestartops: %s\n", f.c_str());
    return failures.empty() ? 0 : 1;
}
