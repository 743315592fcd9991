// Free space on the destination, the full-disc decision, and the total of
// the selected files as the user reads it.
#include <cstdio>

#include "BackupManager.h"
#include "SaveCoreErrors.h"
#include "platform/fs/LocaleText.h"

namespace savecore {

namespace {

const ClassErrors kErrors("BackupManager");

constexpr double kSmallMediaLimit = 4000000;  // floppy-sized media
constexpr double kSmallReserve = 8 * 1024;
constexpr double kReserve = 256 * 1024;
constexpr double kDiscCapacity = 517000000;

}  // namespace

// A whole number with the locale's thousands separators ("0,0").
std::string strGrouped(double dblValue) {
    char achDigits[64];
    std::snprintf(achDigits, sizeof achDigits, "%.0f", dblValue);
    std::string strDigits = achDigits;
    std::string strSign;
    if (!strDigits.empty() && strDigits[0] == '-') {
        strSign = "-";
        strDigits.erase(0, 1);
    }
    const std::string strSep = platform::strThousandsSeparator();
    std::string strOut;
    for (std::size_t i = 0; i < strDigits.size(); ++i) {
        if (i > 0 && (strDigits.size() - i) % 3 == 0) strOut += strSep;
        strOut += strDigits[i];
    }
    return strSign + strOut;
}

namespace {

// "0.00" with the locale's decimal point.
std::string strTwoDecimals(double dblValue) {
    char achText[64];
    std::snprintf(achText, sizeof achText, "%.2f", dblValue);
    std::string strText = achText;
    const auto ixPoint = strText.find('.');
    if (ixPoint != std::string::npos) strText.replace(ixPoint, 1, platform::strDecimalPoint());
    return strText;
}

}  // namespace

bool BackupManager::blnDestFull(double dblFileSize) {
    double dblAvailable = 0, dblFree = 0, dblTotal = 0;
    GetDestStats(dblAvailable, dblFree, dblTotal);
    const double dblReserve = dblTotal <= kSmallMediaLimit ? kSmallReserve : kReserve;
    return dblReserve > dblAvailable - dblFileSize;
}

void BackupManager::GetDestStats(double& dblAvailable, double& dblFree, double& dblTotal) {
    try {
        platform::fs::DiskSpace objSpace;
        try {
            objSpace = mobjFileSys->GetDiskFreeSpace(mstrDest.substr(0, 2) + "\\");
        } catch (...) {
            RaiseError("Unable to determine free space on device");
        }
        dblAvailable = static_cast<double>(objSpace.available);
        dblFree = static_cast<double>(objSpace.free);
        dblTotal = static_cast<double>(objSpace.total);
    } catch (...) {
        kErrors.NestedError("GetDestStats");
    }
}

std::string BackupManager::strSpaceUsed() const {
    // Below 1000 the grouping has nothing to separate: "0" and "0,0" agree.
    return strGrouped(mdblSpaceUsed) + " bytes, or " +
           strTwoDecimals(mdblSpaceUsed / kDiscCapacity) + " CD-RW discs,";
}

}  // namespace savecore
