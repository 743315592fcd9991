// Top-level windows by class, and messages between processes. A window class
// is a Unix-domain socket in $XDG_RUNTIME_DIR/notavex (a private folder);
// one process at a time owns a class, claimed with a lock on a file beside
// the socket, so two starts at the same moment leave exactly one owner and a
// dead owner's socket is taken over by the next claim. Names of classes
// compare without letter case, as on Windows.
//
// Posting writes one frame and returns; sending waits, up to a time limit,
// until the owner's handler has run and answered. The owner accepts only
// peers of its own user.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win/WinTypes.h"

namespace platform::win {

// A window found by class: the class and the process that owns it, so a
// window that went away and one that came after it are told apart.
struct HWND {
    std::string strClass;
    pid_t pid = 0;
    explicit operator bool() const { return pid != 0; }
    bool operator==(const HWND& other) const = default;
};

struct WindowMessage {
    uint32_t lngMsg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// Default time limit of SendMessage.
inline constexpr int kSendTimeoutMs = 5000;

class WindowClassOwner {
  public:
    using Handler = std::function<int64_t(const WindowMessage&)>;

    // Claims the class for this process. Null when another live process owns
    // it (*plngError = 1410) or when the socket cannot be made (the code).
    static std::unique_ptr<WindowClassOwner> Claim(const std::string& strClass,
                                                   int32_t* plngError = nullptr);
    ~WindowClassOwner();
    WindowClassOwner(const WindowClassOwner&) = delete;
    WindowClassOwner& operator=(const WindowClassOwner&) = delete;

    // The listening socket, for an event loop to watch for readability.
    int Fd() const { return mListenFd; }
    // Handles every message waiting now; never blocks for long on a peer.
    void DispatchPending(const Handler& handler);
    // Waits up to lngTimeoutMs for a connection, then handles what waits;
    // false when nothing came.
    bool blnWaitAndDispatch(const Handler& handler, int lngTimeoutMs);

  private:
    WindowClassOwner() = default;
    std::string mstrSocket;
    int mLockFd = -1;
    int mListenFd = -1;
};

// Reads one frame from a connected peer and runs the handler for it,
// answering a sent message with the handler's result. Peers of another user
// and anything but one well-formed post or send are dropped unanswered.
// Returns whether the handler ran. (The owner calls this per connection.)
bool ServeConnection(int fd, const WindowClassOwner::Handler& handler, int lngReadTimeoutMs);

// The window of the class, or an empty HWND. A socket left by a dead owner
// is removed here, so the class is free again.
HWND FindWindow(const std::string& strClass);
// The window still exists (same class, same owner process).
bool IsWindow(const HWND& hwnd);

// 0, or 1400 when the window is gone.
int32_t PostMessage(const HWND& hwnd, uint32_t lngMsg, uint64_t wParam, int64_t lParam);
// 0 with the handler's result; 1460 when it did not answer in time; 1400
// when the window is gone.
int32_t SendMessageTimeout(const HWND& hwnd, uint32_t lngMsg, uint64_t wParam, int64_t lParam,
                           int lngTimeoutMs, int64_t* plngResult);

// The socket path of a class (for messages and the README).
std::string strClassSocketPath(const std::string& strClass);

}  // namespace platform::win
