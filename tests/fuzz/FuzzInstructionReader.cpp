// Any bytes must read without a crash, and whatever reads as valid must come
// back unchanged after a write and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "savecore/InstructionFormat.h"

namespace {

bool blnSame(const savecore::Instructions& a, const savecore::Instructions& b) {
    return a.blnIncludeFamily == b.blnIncludeFamily && a.blnExcludeFamily == b.blnExcludeFamily &&
           a.blnSkipFamily == b.blnSkipFamily && a.strSuppressPattern == b.strSuppressPattern &&
           a.colIncludeFiles == b.colIncludeFiles && a.colExcludeFiles == b.colExcludeFiles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lngSize) {
    const std::string strBytes(reinterpret_cast<const char*>(pData), lngSize);
    const auto objFirst = savecore::ReadInstructions(strBytes);
    if (objFirst.blnUnrecognized) return 0;
    const std::string strWritten = savecore::strWriteInstructions(objFirst.objInstructions);
    const auto objSecond = savecore::ReadInstructions(strWritten);
    if (objSecond.blnUnrecognized || !blnSame(objFirst.objInstructions, objSecond.objInstructions))
        std::abort();
    return 0;
}
