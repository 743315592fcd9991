// The canonical destination folder for any text: one spelling (canonical
// again gives itself), on the letter typed, without empty, "." or ".." names;
// and the refusal of a destination that would erase a drive, for every
// spelling. C: is x/c and taken by the backup type, N: is x (a network
// drive): exactly the folders N:\, N:\c\ and C:\ must be refused.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/fs/WinPath.h"
#include "savecore/DestinationGuard.h"

namespace {

namespace pfs = platform::fs;

struct Drives {
    std::filesystem::path root;
    std::shared_ptr<pfs::FileSystem> objFileSys;
    std::vector<pfs::DrivePtr> colTaken;
};

Drives gDrives;

void RemoveDrives() {
    std::error_code ec;
    std::filesystem::remove_all(gDrives.root, ec);
}

bool blnLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

std::string strAsciiUpper(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    return s;
}

// The names between the backslashes of a canonical folder after "X:\".
bool blnNamesClean(const std::string& strFolder) {
    if (strFolder.find('/') != std::string::npos) return false;
    for (std::size_t pos = 3; pos < strFolder.size();) {
        const std::size_t end = strFolder.find('\\', pos);
        if (end == std::string::npos) return false;  // no trailing backslash
        const std::string strName = strFolder.substr(pos, end - pos);
        if (strName.empty() || strName == "." || strName == "..") return false;
        pos = end + 1;
    }
    return true;
}

bool blnRefused(const std::string& strDest) {
    return !savecore::DestinationGuard::strHeldDrive(*gDrives.objFileSys, strDest, gDrives.colTaken)
                .empty();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char achTemplate[] = "/tmp/fuzz_canonical_destXXXXXX";
    if (!mkdtemp(achTemplate)) std::abort();
    gDrives.root = achTemplate;
    std::filesystem::create_directories(gDrives.root / "c" / "docs");
    std::filesystem::create_directories(gDrives.root / "other");
    std::atexit(RemoveDrives);
    pfs::DriveTable objTable;
    objTable.drives.push_back({'C', gDrives.root / "c", pfs::kDriveFixed, "", "", {}, false});
    objTable.drives.push_back({'N', gDrives.root, pfs::kDriveRemote, "", "", {}, false});
    gDrives.objFileSys = pfs::FileSystem::Create(objTable);
    gDrives.colTaken.push_back(gDrives.objFileSys->GetDrive("C"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lngSize) {
    if (lngSize > 300) return 0;
    const std::string strIn(reinterpret_cast<const char*>(pData), lngSize);
    const std::string strOut = pfs::WinPath::CanonicalFolder(strIn);
    if (strIn.size() < 2 || !blnLetter(strIn[0]) || strIn[1] != ':') {
        if (strOut != strIn) std::abort();
        return 0;
    }
    if (pfs::WinPath::CanonicalFolder(strOut) != strOut) std::abort();
    if (strOut.size() < 3 || strOut.compare(0, 2, strIn, 0, 2) != 0 || strOut[2] != '\\' ||
        !blnNamesClean(strOut))
        std::abort();
    const std::string strUpper = strAsciiUpper(strOut);
    const bool blnExpected = strUpper == "N:\\" || strUpper == "N:\\C\\" || strUpper == "C:\\";
    if (blnRefused(strOut) != blnExpected || blnRefused(strIn) != blnExpected) std::abort();
    return 0;
}
