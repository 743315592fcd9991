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
    bool tooLarge = false;
    const std::string once = strFormatHive(hive, "HKEY_CURRENT_USER", &tooLarge);
    if (tooLarge) return 0;
    HiveData back;
    if (!blnParseHive(once, "HKEY_CURRENT_USER", back, err)) std::abort();
    if (strFormatHive(back, "HKEY_CURRENT_USER") != once) std::abort();
    // Every key read is found again by its path, without letter case.
    hive.ForEach([&](const std::string& path, const HiveKey& key) {
        if (back.Find(strFold(path)) == nullptr ||
            back.Find(path)->values.size() != key.values.size())
            std::abort();
    });
    if (back.lngEntries() != hive.lngEntries()) std::abort();
    return 0;
}
