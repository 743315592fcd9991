// The table of drive letters: which host folder stands for each letter, and
// what kind of drive it is. Read from a small INI file (see README of this
// folder) or built from the mount table when there is none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::fs {

struct DriveSpec {
    char chLetter = 'C';             // upper case A..Z
    std::filesystem::path hostPath;  // the drive's root folder on the host
    int32_t lngType = 2;             // 0-5, fixed by default
    std::string strVolumeName;
    std::string strShareName;
    std::optional<uint64_t> capacity;  // simulated medium size in bytes
    bool blnReadOnly = false;          // write-protected medium
};

struct DriveTable {
    std::vector<DriveSpec> drives;  // ascending letter, one per letter

    // Parses a drive table file. A malformed line, an unknown letter, a bad
    // number or a section without Path raises RtError naming file and line.
    static DriveTable Load(const std::filesystem::path& file);
    static DriveTable Parse(const std::string& strText, const std::string& strSourceName);
    // C: = the user's home folder, plus removable, optical and network
    // mounts found in the mount table, by their kind.
    static DriveTable Default();
    // The default table built from a given mount table text and home folder.
    static DriveTable FromMounts(const std::string& strMounts, const std::filesystem::path& home);
    // $TARNWICK_DRIVES, else $XDG_CONFIG_HOME/TarnwickBackup/drives.ini (or
    // ~/.config/...), else Default().
    static DriveTable FromEnvironment();
    static std::filesystem::path DefaultFilePath();
};

}  // namespace platform::fs
