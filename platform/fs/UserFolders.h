// Per-user folders of the freedesktop base directory layout that the
// programs and the library write to outside any drive of the table.
#pragma once

#include <filesystem>

namespace platform::fs {

// Where this user's program state lives: $XDG_STATE_HOME/TarnwickBackup, or
// ~/.local/state/TarnwickBackup when the variable is unset or not absolute.
std::filesystem::path UserStateFolder();

// UserStateFolder(), made when missing (new folders only for this user, as
// the base directory layout asks). A failure raises RtError from errno.
std::filesystem::path MakeUserStateFolder();

}  // namespace platform::fs
