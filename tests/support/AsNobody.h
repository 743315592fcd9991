// Runs a function in a forked child that has dropped to the unprivileged
// user and group 65534 (tests run as root, and root passes every permission
// check). Returns the function's result (0-253), or -1 when the child could
// not drop its rights or did not end normally.
#pragma once

#include <functional>

namespace twtest {

int RunAsNobody(const std::function<int()>& fn);

}  // namespace twtest
