#include "tests/platform_win/WinFixture.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/win/HiveRegistry.h"
#include "platform/win/Locations.h"

namespace twtest {

void WinFixture::SetUp() {
    for (const char* d : {"machine", "config", "data", "run", "tmp"})
        std::filesystem::create_directories(mTmp / d);
    chmod(Path("run").c_str(), 0700);
    for (const char* name :
         {"NOTAVEX_MACHINE_ROOT", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "TMPDIR",
          "NOTAVEX_STANDIN_LOG", "NOTAVEX_WINVER", "NOTAVEX_BROWSER"})
        SaveEnv(name);
    setenv("NOTAVEX_MACHINE_ROOT", Path("machine").c_str(), 1);
    setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", Path("run").c_str(), 1);
    setenv("TMPDIR", Path("tmp").c_str(), 1);
    setenv("NOTAVEX_STANDIN_LOG", Path("calls.log").c_str(), 1);
    unsetenv("NOTAVEX_WINVER");
}

void WinFixture::SaveEnv(const char* name) {
    const char* v = getenv(name);
    mSavedEnv.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
}

void WinFixture::TearDown() {
    for (const auto& [name, value] : mSavedEnv) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

std::unique_ptr<platform::win::Registry> WinFixture::NewRegistry() const {
    return platform::win::OpenRegistry();
}

void WinFixture::OpenToNobody() const {
    chmod(mTmp.path().c_str(), 0755);
}

std::string WinFixture::ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WinFixture::WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> WinFixture::LogLines() const {
    std::istringstream in(ReadText(Path("calls.log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool WinFixture::blnEventually(const std::function<bool()>& condition, int lngLimitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(lngLimitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace twtest
