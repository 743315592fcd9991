#include "tests/platform_fs/FsFixture.h"

#include <sys/wait.h>
#include <unistd.h>

namespace twtest {

int32_t ErrAsNobody(const std::function<void()>& fn) {
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 0;
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(255);
        try {
            fn();
        } catch (const platform::RtError& e) {
            code = e.Number() & 0xFF;
        } catch (...) {
            code = 254;
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code >= 254 ? -1 : code;
}

}  // namespace twtest
