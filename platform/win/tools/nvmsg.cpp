// Posts or sends a message to the window of a class, as the add-on does to
// keep the agent in step, and as a person (or a desktop shortcut) can:
//   nvmsg [--send] [--timeout MS] CLASS MESSAGE [WPARAM [LPARAM]]
// MESSAGE is a number or WM_USER+n. Exit 0 done (a send prints the result),
// 1 no window of that class, 2 bad arguments, 3 no answer in time.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/WindowClass.h"

using namespace platform::win;

namespace {

bool blnNumber(const std::string& s, long long* out) {
    std::string text = s;
    long long base = 0;
    if (text.rfind("WM_USER+", 0) == 0) {
        base = WM_USER;
        text = text.substr(8);
    }
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0') return false;
    *out = base + n;
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: nvmsg [--send] [--timeout MS] CLASS MESSAGE [WPARAM [LPARAM]]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool blnSend = false;
    long long timeout = kSendTimeoutMs;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--send") == 0) {
            blnSend = true;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc &&
                   blnNumber(argv[i + 1], &timeout) && timeout >= 0 && timeout <= 3600000) {
            ++i;
        } else {
            return Usage();
        }
    }
    if (argc - i < 2 || argc - i > 4) return Usage();
    long long msg = 0, wParam = 0, lParam = 0;
    if (!blnNumber(argv[i + 1], &msg) || msg < 0 || msg > 0xFFFFFFFFLL) return Usage();
    if (argc - i > 2 && !blnNumber(argv[i + 2], &wParam)) return Usage();
    if (argc - i > 3 && !blnNumber(argv[i + 3], &lParam)) return Usage();

    const HWND hwnd = FindWindow(argv[i]);
    if (!hwnd) {
        std::fprintf(stderr, "nvmsg: no window of the class \"%s\"\n", argv[i]);
        return 1;
    }
    int32_t r = 0;
    if (blnSend) {
        int64_t result = 0;
        r = SendMessageTimeout(hwnd, static_cast<uint32_t>(msg), static_cast<uint64_t>(wParam),
                               lParam, static_cast<int>(timeout), &result);
        if (r == ERROR_SUCCESS) std::printf("%lld\n", static_cast<long long>(result));
    } else {
        r = PostMessage(hwnd, static_cast<uint32_t>(msg), static_cast<uint64_t>(wParam), lParam);
    }
    if (r == ERROR_TIMEOUT) {
        std::fprintf(stderr, "nvmsg: the window of \"%s\" did not answer in time\n", argv[i]);
        return 3;
    }
    if (r != ERROR_SUCCESS) {
        std::fprintf(stderr, "nvmsg: the window of \"%s\" went away\n", argv[i]);
        return 1;
    }
    return 0;
}
