// Small tmpfs file systems for one test, so that a full disc and a changed
// medium are real ones. Mounting needs root: where it is not allowed the
// calls return false with strWhyNot, and the test skips. What is still
// mounted is detached with this object: declare it after the TempDir.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace twtest {

class TmpfsMounts {
  public:
    ~TmpfsMounts();
    // An empty tmpfs of lngBytes on an existing folder.
    bool blnMount(const std::filesystem::path& folder, uint64_t lngBytes);
    // Detached at once, even while something in it is open.
    bool blnUnmount(const std::filesystem::path& folder);
    // The mount on from moves to the empty folder to, as a renamed folder would.
    bool blnMove(const std::filesystem::path& from, const std::filesystem::path& to);
    const std::string& strWhyNot() const { return mstrWhyNot; }

  private:
    bool blnFailed(const std::string& strWhat);

    std::vector<std::filesystem::path> maMounted;
    std::string mstrWhyNot;
};

}  // namespace twtest
