#include "AsNobody.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace twtest {

int RunAsNobody(const std::function<int()>& fn) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
            setresuid(65534, 65534, 65534) != 0)
            _exit(255);
        int code = 254;
        try {
            code = fn();
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code >= 254 ? -1 : code;
}

}  // namespace twtest
