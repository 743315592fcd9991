// The registration tool: loads a component library and calls its
// DllRegisterServer (or with /u its DllUnregisterServer).
//   regsvr32 [/s] [/u] LIBRARY
// Exit 0 done, 1 bad arguments, 3 the library does not load, 4 it lacks the
// entry point, 5 the entry point failed. /s keeps it quiet.
#include <cstdio>
#include <string>

#include "platform/win/Component.h"
#include "platform/win/HiveText.h"

using namespace platform::win;

int main(int argc, char** argv) {
    bool blnSilent = false, blnUnregister = false;
    std::string library;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a[0] == '/' || a[0] == '-') && a.size() == 2) {
            if (blnSameName(a.substr(1), "s")) {
                blnSilent = true;
                continue;
            }
            if (blnSameName(a.substr(1), "u")) {
                blnUnregister = true;
                continue;
            }
        }
        if (!library.empty() || a.empty()) {
            std::fprintf(stderr, "usage: regsvr32 [/s] [/u] LIBRARY\n");
            return 1;
        }
        library = a;
    }
    if (library.empty()) {
        std::fprintf(stderr, "usage: regsvr32 [/s] [/u] LIBRARY\n");
        return 1;
    }
    const char* entry = blnUnregister ? "DllUnregisterServer" : "DllRegisterServer";
    std::string error;
    auto lib = Library::Load(library, &error);
    if (!lib) {
        if (!blnSilent)
            std::fprintf(stderr, "regsvr32: %s failed to load: %s\n", library.c_str(),
                         error.c_str());
        return 3;
    }
    auto fn = reinterpret_cast<DllEntryFn>(lib->Symbol(entry));
    if (!fn) {
        if (!blnSilent) std::fprintf(stderr, "regsvr32: %s has no %s\n", library.c_str(), entry);
        return 4;
    }
    const HRESULT hr = fn();
    if (FAILED(hr)) {
        if (!blnSilent)
            std::fprintf(stderr, "regsvr32: %s in %s failed: 0x%08X\n", entry, library.c_str(),
                         static_cast<unsigned>(hr));
        return 5;
    }
    if (!blnSilent) std::printf("%s in %s succeeded.\n", entry, library.c_str());
    return 0;
}
