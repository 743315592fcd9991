// What a peer writes to a window's socket, read by the window's own code
// over a real socket pair: the handler runs exactly for one well-formed
// post or send at the start, and nothing else crashes or waits.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/win/MessageFrame.h"
#include "platform/win/WindowClass.h"

using namespace platform::win;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MessageFrame frame;
    const bool whole = blnDecodeFrame(data, size, frame);
    if (whole) {
        uint8_t again[kFrameBytes];
        EncodeFrame(frame, again);
        if (std::memcmp(again, data, kFrameBytes) != 0) std::abort();
    }
    MessageFrame first;
    const bool startsWell = size >= kFrameBytes && blnDecodeFrame(data, kFrameBytes, first) &&
                            first.kind != FrameKind::Reply;

    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sv) != 0) return 0;
    const size_t n = size < 4096 ? size : 4096;
    if (n && write(sv[1], data, n) != static_cast<ssize_t>(n)) std::abort();
    shutdown(sv[1], SHUT_WR);
    int calls = 0;
    const bool ran = ServeConnection(
        sv[0],
        [&](const WindowMessage& m) {
            ++calls;
            if (m.lngMsg != first.lngMsg || m.wParam != first.wParam || m.lParam != first.lParam)
                std::abort();
            return int64_t{7};
        },
        50);
    if (ran != startsWell || calls != (startsWell ? 1 : 0)) std::abort();
    if (startsWell && first.kind == FrameKind::Send) {
        uint8_t reply[kFrameBytes];
        MessageFrame r;
        if (read(sv[1], reply, sizeof reply) != static_cast<ssize_t>(kFrameBytes) ||
            !blnDecodeFrame(reply, sizeof reply, r) || r.kind != FrameKind::Reply || r.lParam != 7)
            std::abort();
    }
    close(sv[0]);
    close(sv[1]);
    return 0;
}
