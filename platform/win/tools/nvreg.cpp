// Prints a registry key and everything below it in the hive files' own
// text form:  nvreg 'HKEY_CURRENT_USER\Software\Notavex'
// (HKLM, HKCU and HKCR stand for their roots). Exit 0, 1 when the key is
// missing or the hive cannot be read (the reason on standard error), 2 for
// bad arguments.
#include <cstdio>
#include <string>

#include "platform/win/HiveText.h"
#include "platform/win/Registry.h"

using namespace platform::win;

namespace {

struct Root {
    const char* strLong;
    const char* strShort;
    HKEY hKey;
};
constexpr Root kRoots[] = {{"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
                           {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
                           {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT}};

int32_t Print(Registry& reg, HKEY hParent, const std::string& strSub, const std::string& strFull) {
    HKEY h = 0;
    int32_t r = reg.OpenKey(hParent, strSub, KEY_READ, &h);
    if (r != ERROR_SUCCESS) return r;
    std::vector<HiveValue> values;
    HiveValue v;
    for (uint32_t i = 0; (r = reg.EnumValue(h, i, &v)) == ERROR_SUCCESS; ++i) values.push_back(v);
    std::fputs(strFormatKey(strFull, values).c_str(), stdout);
    std::string name;
    for (uint32_t i = 0; r == ERROR_NO_MORE_ITEMS && reg.EnumKey(h, i, &name) == ERROR_SUCCESS;
         ++i) {
        std::fputs("\n", stdout);
        const int32_t rc = Print(reg, h, name, strFull + "\\" + name);
        if (rc != ERROR_SUCCESS) r = rc;
    }
    reg.CloseKey(h);
    return r == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nvreg 'HKEY_CURRENT_USER\\Software\\Notavex'\n");
        return 2;
    }
    const std::string path = argv[1];
    const auto slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    const std::string sub = slash == std::string::npos ? "" : path.substr(slash + 1);
    for (const auto& root : kRoots) {
        if (!blnSameName(rootName, root.strLong) && !blnSameName(rootName, root.strShort)) continue;
        auto reg = OpenRegistry();
        const std::string full =
            sub.empty() ? root.strLong : std::string(root.strLong) + "\\" + sub;
        const int32_t r = Print(*reg, root.hKey, sub, full);
        if (r == ERROR_SUCCESS) return 0;
        if (r == ERROR_FILE_NOT_FOUND)
            std::fprintf(stderr, "nvreg: %s: no such key\n", full.c_str());
        else
            std::fprintf(stderr, "nvreg: %s: error %d %s\n", full.c_str(), r,
                         reg->strLastError().c_str());
        return 1;
    }
    std::fprintf(stderr, "nvreg: %s: not a root key (HKLM, HKCU or HKCR)\n", rootName.c_str());
    return 2;
}
