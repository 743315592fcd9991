// A hidden temporary file beside a target, removed again unless it is
// published under the target's name. This is how copies and replacements
// avoid leaving half-written files: the target name appears only complete.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform::fs {

class TempFile {
  public:
    // Creates ".~tw<pid>-<n>.tmp" in strHostDir; 76 when the folder is missing.
    TempFile(const std::string& strHostDir, mode_t mode);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return mfd; }
    const std::string& Path() const { return mstrPath; }

    // Gives the file the target's name, failing with 58 when the target
    // exists, also when it appeared a moment ago (the kernel decides).
    void PublishNoReplace(const std::string& strTarget);
    // Replaces whatever the target is (in one step).
    void PublishReplace(const std::string& strTarget);

  private:
    void Close();

    std::string mstrPath;
    int mfd = -1;
    bool mblnPublished = false;
};

}  // namespace platform::fs
