#include "WindowClass.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/win/Locations.h"
#include "platform/win/MessageFrame.h"

namespace platform::win {
namespace {

constexpr int kReadTimeoutMs = 500;
constexpr int kConnectTimeoutMs = 1000;
constexpr std::size_t kMaxClassChars = 100;

using Clock = std::chrono::steady_clock;

int lngMsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// The private folder of the sockets: made 0700 and refused when it belongs
// to someone else or others may write there.
bool blnSocketFolder(std::string& out) {
    const std::string runtime = strRuntimeDir();
    out = strJoin(runtime, "notavex");
    // Whoever owns the folder above could swap ours for another.
    struct stat st {};
    if (stat(runtime.c_str(), &st) != 0 || (st.st_uid != geteuid() && st.st_uid != 0)) return false;
    if (mkdir(out.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return lstat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 022) == 0;
}

// Class names fold to lower case; anything but [a-z0-9._-] is %XX.
bool blnClassFileName(const std::string& strClass, std::string& out) {
    out.clear();
    if (strClass.empty()) return false;
    for (char ch : strClass) {
        char c = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-') {
            out.push_back(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
            out += buf;
        }
    }
    return strClass.size() <= kMaxClassChars && out != "." && out != "..";
}

// A socket address for path; a path too long for sun_path goes through an
// open descriptor of its folder.
struct Address {
    sockaddr_un addr{};
    int dirFd = -1;
    ~Address() {
        if (dirFd >= 0) close(dirFd);
    }
    bool blnSet(const std::string& folder, const std::string& name) {
        std::string path = folder + "/" + name;
        if (path.size() >= sizeof addr.sun_path) {
            dirFd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (dirFd < 0) return false;
            path = "/proc/self/fd/" + std::to_string(dirFd) + "/" + name;
            if (path.size() >= sizeof addr.sun_path) return false;
        }
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        return true;
    }
};

bool blnPeer(int fd, ucred& cred) {
    socklen_t len = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0;
}

// Connects to the owner of the class. Returns the descriptor or -1 with
// *plngError: 2 no socket, 1400 nobody listens (stale), 1460 no room in
// time, 5 another user's socket or folder.
int lngConnect(const std::string& strClass, int lngTimeoutMs, pid_t* ppid, int32_t* plngError) {
    std::string folder, name;
    *plngError = ERROR_INVALID_PARAMETER;
    if (!blnClassFileName(strClass, name)) return -1;
    *plngError = ERROR_ACCESS_DENIED;
    if (!blnSocketFolder(folder)) return -1;
    Address a;
    if (!a.blnSet(folder, name + ".sock")) return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    const auto deadline = Clock::now() + std::chrono::milliseconds(lngTimeoutMs);
    while (connect(fd, reinterpret_cast<sockaddr*>(&a.addr), sizeof a.addr) != 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EINPROGRESS) {
            // The owner's queue is full: it is busy or hangs.
            if (lngMsLeft(deadline) == 0) {
                close(fd);
                *plngError = ERROR_TIMEOUT;
                return -1;
            }
            poll(nullptr, 0, 10);
            continue;
        }
        *plngError = errno == ECONNREFUSED ? ERROR_INVALID_WINDOW_HANDLE
                     : errno == EACCES     ? ERROR_ACCESS_DENIED
                                           : ERROR_FILE_NOT_FOUND;
        close(fd);
        return -1;
    }
    ucred cred{};
    if (!blnPeer(fd, cred) || cred.uid != geteuid()) {
        close(fd);
        *plngError = ERROR_ACCESS_DENIED;
        return -1;
    }
    if (ppid) *ppid = cred.pid;
    *plngError = ERROR_SUCCESS;
    return fd;
}

bool blnSendAll(int fd, const uint8_t* data, std::size_t size, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, lngMsLeft(deadline)) <= 0) return false;
            continue;
        }
        return false;
    }
    return true;
}

// Reads exactly size bytes before the deadline; false on end, error or time.
bool blnReadAll(int fd, uint8_t* data, std::size_t size, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = recv(fd, data + done, size - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) return false;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return false;
        pollfd p{fd, POLLIN, 0};
        const int left = lngMsLeft(deadline);
        if (left == 0 || poll(&p, 1, left) <= 0) return false;
    }
    return true;
}

// Removes the socket of a class whose owner died: only while holding the
// class's lock, so a live owner's socket is never touched.
void RemoveStaleSocket(const std::string& strClass) {
    std::string folder, name;
    if (!blnClassFileName(strClass, name) || !blnSocketFolder(folder)) return;
    const int lockFd = open((folder + "/" + name + ".lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (lockFd < 0) return;
    if (flock(lockFd, LOCK_EX | LOCK_NB) == 0) unlink((folder + "/" + name + ".sock").c_str());
    close(lockFd);
}

int32_t lngDeliver(const HWND& hwnd, const MessageFrame& frame, int lngTimeoutMs,
                   int64_t* plngResult) {
    if (!hwnd) return ERROR_INVALID_WINDOW_HANDLE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(lngTimeoutMs);
    pid_t pid = 0;
    int32_t err = 0;
    const int fd = lngConnect(hwnd.strClass, lngTimeoutMs, &pid, &err);
    if (fd < 0) return err == ERROR_TIMEOUT ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE;
    if (pid != hwnd.pid) {
        close(fd);
        return ERROR_INVALID_WINDOW_HANDLE;
    }
    uint8_t buf[kFrameBytes];
    EncodeFrame(frame, buf);
    int32_t r = blnSendAll(fd, buf, sizeof buf, deadline) ? ERROR_SUCCESS : ERROR_TIMEOUT;
    if (r == ERROR_SUCCESS && frame.kind == FrameKind::Send) {
        MessageFrame reply;
        if (blnReadAll(fd, buf, sizeof buf, deadline) && blnDecodeFrame(buf, sizeof buf, reply) &&
            reply.kind == FrameKind::Reply) {
            if (plngResult) *plngResult = reply.lParam;
        } else {
            // Closed without an answer means the window went away.
            r = lngMsLeft(deadline) == 0 ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE;
        }
    }
    close(fd);
    return r;
}

}  // namespace

std::string strClassSocketPath(const std::string& strClass) {
    std::string name;
    blnClassFileName(strClass, name);
    return strJoin(strJoin(strRuntimeDir(), "notavex"), name + ".sock");
}

std::unique_ptr<WindowClassOwner> WindowClassOwner::Claim(const std::string& strClass,
                                                          int32_t* plngError) {
    int32_t dummy = 0;
    int32_t& err = plngError ? *plngError : dummy;
    std::string folder, name;
    err = ERROR_INVALID_PARAMETER;
    if (!blnClassFileName(strClass, name)) return nullptr;
    err = ERROR_ACCESS_DENIED;
    if (!blnSocketFolder(folder)) return nullptr;
    std::unique_ptr<WindowClassOwner> owner(new WindowClassOwner());
    // The lock file is never removed: removing it would let two owners lock
    // two different files of the same name.
    owner->mLockFd = open((folder + "/" + name + ".lock").c_str(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (owner->mLockFd < 0) return nullptr;
    if (flock(owner->mLockFd, LOCK_EX | LOCK_NB) != 0) {
        err = ERROR_CLASS_ALREADY_EXISTS;
        return nullptr;
    }
    owner->mstrSocket = folder + "/" + name + ".sock";
    // Whatever socket is there belongs to an owner that is gone.
    unlink(owner->mstrSocket.c_str());
    Address a;
    owner->mListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (owner->mListenFd < 0 || !a.blnSet(folder, name + ".sock")) return nullptr;
    const mode_t oldMask = umask(077);
    const int bound = bind(owner->mListenFd, reinterpret_cast<sockaddr*>(&a.addr), sizeof a.addr);
    umask(oldMask);
    if (bound != 0 || listen(owner->mListenFd, 64) != 0) return nullptr;
    err = ERROR_SUCCESS;
    return owner;
}

WindowClassOwner::~WindowClassOwner() {
    if (mListenFd >= 0) {
        if (!mstrSocket.empty()) unlink(mstrSocket.c_str());
        close(mListenFd);
    }
    if (mLockFd >= 0) close(mLockFd);
}

bool ServeConnection(int fd, const WindowClassOwner::Handler& handler, int lngReadTimeoutMs) {
    ucred cred{};
    if (!blnPeer(fd, cred) || cred.uid != geteuid()) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(lngReadTimeoutMs);
    uint8_t buf[kFrameBytes];
    MessageFrame frame;
    if (!blnReadAll(fd, buf, sizeof buf, deadline) || !blnDecodeFrame(buf, sizeof buf, frame))
        return false;
    if (frame.kind == FrameKind::Reply) return false;
    const int64_t result = handler(WindowMessage{frame.lngMsg, frame.wParam, frame.lParam});
    if (frame.kind == FrameKind::Send) {
        MessageFrame reply{FrameKind::Reply, frame.lngMsg, 0, result};
        EncodeFrame(reply, buf);
        blnSendAll(fd, buf, sizeof buf, Clock::now() + std::chrono::milliseconds(kReadTimeoutMs));
    }
    return true;
}

void WindowClassOwner::DispatchPending(const Handler& handler) {
    // A bounded batch, so a flood of peers cannot keep the loop here.
    for (int i = 0; i < 64; ++i) {
        const int fd = accept4(mListenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;
        }
        ServeConnection(fd, handler, kReadTimeoutMs);
        close(fd);
    }
}

bool WindowClassOwner::blnWaitAndDispatch(const Handler& handler, int lngTimeoutMs) {
    pollfd p{mListenFd, POLLIN, 0};
    if (poll(&p, 1, lngTimeoutMs) <= 0) return false;
    DispatchPending(handler);
    return true;
}

HWND FindWindow(const std::string& strClass) {
    pid_t pid = 0;
    int32_t err = 0;
    const int fd = lngConnect(strClass, kConnectTimeoutMs, &pid, &err);
    if (fd >= 0) {
        close(fd);
        return HWND{strClass, pid};
    }
    if (err == ERROR_INVALID_WINDOW_HANDLE) RemoveStaleSocket(strClass);
    return HWND{};
}

bool IsWindow(const HWND& hwnd) {
    if (!hwnd) return false;
    return FindWindow(hwnd.strClass) == HWND{hwnd.strClass, hwnd.pid};
}

int32_t PostMessage(const HWND& hwnd, uint32_t lngMsg, uint64_t wParam, int64_t lParam) {
    return lngDeliver(hwnd, MessageFrame{FrameKind::Post, lngMsg, wParam, lParam},
                      kConnectTimeoutMs, nullptr);
}

int32_t SendMessageTimeout(const HWND& hwnd, uint32_t lngMsg, uint64_t wParam, int64_t lParam,
                           int lngTimeoutMs, int64_t* plngResult) {
    return lngDeliver(hwnd, MessageFrame{FrameKind::Send, lngMsg, wParam, lParam}, lngTimeoutMs,
                      plngResult);
}

}  // namespace platform::win
