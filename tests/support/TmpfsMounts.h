// Small tmpfs file systems mounted for one test, so that a full disc and a
// changed medium are real ones and not the layer's simulated capacity.
// Mounting needs root; where it is not allowed blnMount says why and the
// test skips. Whatever is still mounted goes (detached) with this object:
// declare it after the TempDir that holds the mount points.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace twtest {

class TmpfsMounts {
  public:
    TmpfsMounts() = default;
    ~TmpfsMounts();
    TmpfsMounts(const TmpfsMounts&) = delete;
    TmpfsMounts& operator=(const TmpfsMounts&) = delete;

    // An empty tmpfs of lngBytes on folder (which must exist).
    bool blnMount(const std::filesystem::path& folder, uint64_t lngBytes);
    // Detached at once, even while a file in it is open.
    bool blnUnmount(const std::filesystem::path& folder);
    // The mount on from is moved to to (an existing empty folder), as if the
    // medium's folder were renamed.
    bool blnMove(const std::filesystem::path& from, const std::filesystem::path& to);
    const std::string& strWhyNot() const { return mstrWhyNot; }

  private:
    bool blnFailed(const std::string& strWhat);

    std::vector<std::filesystem::path> maMounted;
    std::string mstrWhyNot;
};

}  // namespace twtest
