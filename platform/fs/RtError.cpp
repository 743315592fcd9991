#include "RtError.h"

#include <cerrno>
#include <exception>
#include <new>

namespace platform {

std::string RtErrorText(int32_t lngNumber) {
    switch (lngNumber) {
        case 0: return "";
        case rt::kInvalidCall: return "Invalid procedure call or argument";
        case rt::kOverflow: return "Overflow";
        case rt::kOutOfMemory: return "Out of memory";
        case rt::kSubscriptOutOfRange: return "Subscript out of range";
        case rt::kTypeMismatch: return "Type mismatch";
        case rt::kInternalError: return "Internal error";
        case rt::kBadFileName: return "Bad file name or number";
        case rt::kFileNotFound: return "File not found";
        case 54: return "Bad file mode";
        case rt::kFileAlreadyOpen: return "File already open";
        case rt::kDeviceIO: return "Device I/O error";
        case rt::kFileAlreadyExists: return "File already exists";
        case rt::kDiskFull: return "Disk full";
        case 62: return "Input past end of file";
        case rt::kTooManyFiles: return "Too many files";
        case rt::kDeviceUnavailable: return "Device unavailable";
        case rt::kPermissionDenied: return "Permission denied";
        case rt::kDiskNotReady: return "Disk not ready";
        case rt::kRenameAcrossDrives: return "Can't rename with different drive";
        case rt::kPathFileAccess: return "Path/File access error";
        case rt::kPathNotFound: return "Path not found";
        case rt::kObjectNotSet: return "Object variable or With block variable not set";
        case rt::kDllEntryNotFound: return "Specified DLL function not found";
        case rt::kHresultDiskFull: return "There is not enough space on the disk.";
        default: return "Application-defined or object-defined error";
    }
}

RtError::RtError(int32_t lngNumber, std::string strDescription)
    : std::runtime_error(strDescription),
      mlngNumber(lngNumber),
      mstrDescription(std::move(strDescription)) {}

RtError::RtError(int32_t lngNumber) : RtError(lngNumber, RtErrorText(lngNumber)) {}

int32_t RtError::NumberForErrno(int err, bool blnFolderLookup) {
    switch (err) {
        case ENOENT: return blnFolderLookup ? rt::kPathNotFound : rt::kFileNotFound;
        case ENOTDIR: return rt::kPathNotFound;
        case EEXIST: return rt::kFileAlreadyExists;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return rt::kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
        case ETXTBSY: return rt::kPermissionDenied;
        case EIO: return rt::kDeviceIO;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM: return rt::kDeviceUnavailable;
        case EMFILE:
        case ENFILE: return rt::kTooManyFiles;
        case ENOMEM: return rt::kOutOfMemory;
        case EXDEV: return rt::kRenameAcrossDrives;
        case EILSEQ:
        case EINVAL: return rt::kBadFileName;
        case ENAMETOOLONG:
        case ELOOP:
        case ENOTEMPTY:
        case EISDIR:
        default: return rt::kPathFileAccess;
    }
}

RtError RtError::FromErrno(int err, bool blnFolderLookup) {
    return RtError(NumberForErrno(err, blnFolderLookup));
}

ErrObject CurrentErr() {
    if (!std::current_exception()) return {};
    try {
        throw;
    } catch (const RtError& e) {
        return {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        return {rt::kOutOfMemory, RtErrorText(rt::kOutOfMemory)};
    } catch (const std::exception& e) {
        return {rt::kInternalError, e.what()};
    } catch (...) {
        return {rt::kInternalError, RtErrorText(rt::kInternalError)};
    }
}

}  // namespace platform
