// Run-time errors as the rest of the system sees them: a number and a
// description, carried by one exception type. Host failures (errno) are
// translated into these numbers in exactly one place, RtError::FromErrno.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// The numbers the engine and the programs interpret.
namespace rt {
inline constexpr int32_t kInvalidCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kInternalError = 51;
inline constexpr int32_t kBadFileName = 52;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kFileAlreadyOpen = 55;
inline constexpr int32_t kDeviceIO = 57;
inline constexpr int32_t kFileAlreadyExists = 58;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kTooManyFiles = 67;
inline constexpr int32_t kDeviceUnavailable = 68;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kDiskNotReady = 71;
inline constexpr int32_t kRenameAcrossDrives = 74;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kDllEntryNotFound = 453;
// 75 for a write that would pass through a symbolic link below a claimed
// folder (FileSystem::ClaimFolder).
inline constexpr const char* kLinkInTheWayText =
    "Path/File access error (a symbolic link is in the way)";
// HRESULT_FROM_WIN32(ERROR_DISK_FULL), as a signed 32-bit number.
inline constexpr int32_t kHresultDiskFull = static_cast<int32_t>(0x80070070u);
}  // namespace rt

// The run-time's own text for a number ("File not found" for 53); an
// "Application-defined or object-defined error" for numbers it has none for.
std::string RtErrorText(int32_t lngNumber);

class RtError : public std::runtime_error {
public:
    RtError(int32_t lngNumber, std::string strDescription);
    // The number with the run-time's own description.
    explicit RtError(int32_t lngNumber);

    int32_t Number() const noexcept { return mlngNumber; }
    const std::string& Description() const noexcept { return mstrDescription; }

    // What a host call's errno means to the system. blnFolderLookup chooses
    // between "File not found" (53) and "Path not found" (76) for ENOENT: a
    // missing folder in the middle of a path is 76 either way.
    static RtError FromErrno(int err, bool blnFolderLookup = false);
    static int32_t NumberForErrno(int err, bool blnFolderLookup = false);

private:
    int32_t mlngNumber;
    std::string mstrDescription;
};

// The caller's current error as the error handler reads it (VB's Err):
// only the number and the description are used.
struct ErrObject {
    int32_t Number = 0;
    std::string Description;
};

// Reads the exception being handled (call only inside a catch block):
// an RtError gives its own number and text, bad_alloc is 7, any other
// exception is 51 with its what() text, so nothing escapes unreported.
ErrObject CurrentErr();

}  // namespace platform
