#include "tests/platform_fs/FsFixture.h"

#include "tests/support/AsNobody.h"

namespace twtest {

int32_t ErrAsNobody(const std::function<void()>& fn) {
    return RunAsNobody([&] {
        try {
            fn();
        } catch (const platform::RtError& e) {
            return e.Number() & 0xFF;
        }
        return 0;
    });
}

}  // namespace twtest
