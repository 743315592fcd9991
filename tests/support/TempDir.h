// A temporary folder for one test, removed with everything in it afterwards
// (also when read-only entries are inside).
#pragma once

#include <filesystem>
#include <string>

namespace twtest {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    std::filesystem::path operator/(const std::string& rel) const { return mPath / rel; }

  private:
    std::filesystem::path mPath;
};

}  // namespace twtest
