// The hive reader on any text: it either names a line and a reason, or what
// it read is written in a form that reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/win/HiveText.h"

using namespace platform::win;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    HiveData hive;
    HiveParseError err;
    if (!blnParseHive(text, "HKEY_CURRENT_USER", hive, err)) {
        if (err.strWhat.empty() || err.lngLine < 0) std::abort();
        return 0;
    }
    const std::string once = strFormatHive(hive, "HKEY_CURRENT_USER");
    HiveData back;
    if (!blnParseHive(once, "HKEY_CURRENT_USER", back, err)) std::abort();
    if (strFormatHive(back, "HKEY_CURRENT_USER") != once) std::abort();
    // Every key read is reachable from its parent's list of subkeys.
    for (const auto& [folded, key] : hive.Keys()) {
        if (folded.empty()) continue;
        const auto slash = key.strPath.rfind('\\');
        const std::string parent = slash == std::string::npos ? "" : key.strPath.substr(0, slash);
        bool found = false;
        for (const auto& name : hive.Subkeys(parent))
            found = found || blnSameName(name, key.strPath.substr(slash == std::string::npos ? 0 : slash + 1));
        if (!found) std::abort();
    }
    return 0;
}
