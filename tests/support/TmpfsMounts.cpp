#include "TmpfsMounts.h"

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace twtest {

TmpfsMounts::~TmpfsMounts() {
    for (auto it = maMounted.rbegin(); it != maMounted.rend(); ++it)
        umount2(it->c_str(), MNT_DETACH);
}

bool TmpfsMounts::blnFailed(const std::string& strWhat) {
    mstrWhyNot = strWhat + ": " + std::strerror(errno);
    return false;
}

bool TmpfsMounts::blnMount(const std::filesystem::path& folder, uint64_t lngBytes) {
    const std::string strOptions = "size=" + std::to_string(lngBytes);
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, strOptions.c_str()) != 0)
        return blnFailed("mount tmpfs on " + folder.string());
    maMounted.push_back(folder);
    return true;
}

bool TmpfsMounts::blnUnmount(const std::filesystem::path& folder) {
    if (umount2(folder.c_str(), MNT_DETACH) != 0) return blnFailed("umount " + folder.string());
    std::erase(maMounted, folder);
    return true;
}

bool TmpfsMounts::blnMove(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (mount(from.c_str(), to.c_str(), nullptr, MS_MOVE, nullptr) != 0)
        return blnFailed("move the mount on " + from.string());
    std::replace(maMounted.begin(), maMounted.end(), from, to);
    return true;
}

}  // namespace twtest
