#include "platform/fs/MountTable.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/fs/FileSystem.h"

namespace platform::fs {

namespace {

const std::set<std::string> kNetworkTypes = {
    "nfs",   "nfs4",        "cifs",           "smb3",      "smbfs",      "ncpfs",
    "afs",   "9p",          "ceph",           "glusterfs", "fuse.sshfs", "fuse.rclone",
    "davfs", "fuse.davfs2", "fuse.glusterfs", "fuse.s3fs"};
const std::set<std::string> kOpticalTypes = {"iso9660", "udf"};
const std::set<std::string> kMediaTypes = {"vfat",  "exfat",   "msdos", "ntfs",
                                           "ntfs3", "fuseblk", "hfs",   "hfsplus"};

// /proc/self/mounts writes blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3') {
            out +=
                static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The kernel's removable flag of a block device or of the disk it is a
// partition of.
bool IsRemovableDevice(const std::string& strSource) {
    if (!StartsWith(strSource, "/dev/")) return false;
    std::error_code ec;
    const std::filesystem::path dev = std::filesystem::canonical(strSource, ec);
    if (ec) return false;
    const std::filesystem::path sys = std::filesystem::path("/sys/class/block") / dev.filename();
    for (const auto& candidate : {sys / "removable", sys / ".." / "removable"}) {
        std::ifstream in(candidate);
        char ch = 0;
        if (in >> ch) return ch == '1';
    }
    return false;
}

// The file system label as udev publishes it, else the mount point's name.
std::string VolumeLabel(const std::string& strSource, const std::string& strMountPoint) {
    std::error_code ec;
    const std::filesystem::path dev = std::filesystem::canonical(strSource, ec);
    if (!ec) {
        for (const auto& entry : std::filesystem::directory_iterator("/dev/disk/by-label", ec)) {
            std::error_code ec2;
            if (std::filesystem::canonical(entry.path(), ec2) != dev || ec2) continue;
            return Unescape(entry.path().filename().string());
        }
    }
    return std::filesystem::path(strMountPoint).filename().string();
}

// "//server/share" and "server:/export" read as \\server\share.
std::string ShareNameOf(const std::string& strSource) {
    std::string s = strSource;
    if (StartsWith(s, "//")) {
        s = s.substr(2);
    } else if (const auto colon = s.find(':'); colon != std::string::npos) {
        s = s.substr(0, colon) + (s[colon + 1] == '/' ? "" : "/") + s.substr(colon + 1);
    }
    for (char& ch : s)
        if (ch == '/') ch = '\\';
    while (!s.empty() && s.back() == '\\') s.pop_back();
    return "\\\\" + s;
}

}  // namespace

int MountTable::KindOf(const std::string& strSource, const std::string& strMountPoint,
                       const std::string& strFsType) {
    if (kNetworkTypes.count(strFsType)) return kDriveRemote;
    if (kOpticalTypes.count(strFsType)) return kDriveCDRom;
    const bool blnMediaFolder =
        StartsWith(strMountPoint, "/media/") || StartsWith(strMountPoint, "/run/media/");
    if (blnMediaFolder && (kMediaTypes.count(strFsType) || StartsWith(strSource, "/dev/")))
        return kDriveRemovable;
    if (kMediaTypes.count(strFsType) && IsRemovableDevice(strSource)) return kDriveRemovable;
    return kDriveUnknown;
}

std::vector<DriveSpec> MountTable::MediaDrives(const std::string& strMounts) {
    std::vector<DriveSpec> drives;
    std::set<std::string> seen;
    std::istringstream in(strMounts);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string source, point, type;
        if (!(fields >> source >> point >> type)) continue;
        source = Unescape(source);
        point = Unescape(point);
        const int kind = KindOf(source, point, type);
        if (kind == kDriveUnknown || !seen.insert(point).second) continue;
        DriveSpec driveSpec;
        driveSpec.chLetter = '\0';
        driveSpec.hostPath = point;
        driveSpec.lngType = kind;
        if (kind == kDriveRemote)
            driveSpec.strShareName = ShareNameOf(source);
        else
            driveSpec.strVolumeName = VolumeLabel(source, point);
        drives.push_back(driveSpec);
    }
    return drives;
}

}  // namespace platform::fs
