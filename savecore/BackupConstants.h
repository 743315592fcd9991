// Enumerations shared by the engine and the program.
#pragma once

#include <cstdint>

namespace savecore {

// What a folder's instruction file says about the folder and its subtree.
enum BackupMode : int32_t {
    glngBACKUP_SKIP = 0,
    glngBACKUP_INCLUDE = 1,
    glngBACKUP_EXCLUDE = 2,
    glngBACKUP_NOTREADY = 3,  // a drive that is not ready; never stored
};

// The argument of StartProgress.
enum BackupProgressMode : int32_t {
    glngBACKUP_PROGRESS_BACKUP = 0,
    glngBACKUP_PROGRESS_CHECK = 1,
    glngBACKUP_PROGRESS_DELTYPE = 2,
    glngBACKUP_PROGRESS_RESTORE = 3,
};

// The title of the engine's message boxes: the application's own.
inline constexpr const char* gstrMSGBOX_TITLE = "Tarnwick Backup";

}  // namespace savecore
