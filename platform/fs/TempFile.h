// A temporary file beside a target, gone again unless it is published under
// the target's name. This is how copies and replacements avoid leaving
// half-written files: the target name appears only complete.
//
// Where the file system can, a new file is made without any name (O_TMPFILE)
// and gets only the target's name when published: nothing of it is seen
// while it is written, and a run that is killed leaves nothing behind.
// Elsewhere it is ".~tw<pid>-<n>.tmp" in the same folder, renamed.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform::fs {

class TempFile {
  public:
    enum class Kind { Named, Anonymous };

    // Makes the file in strHostDir (76 when the folder is missing). Anonymous
    // is only asked for: a file system or kernel that cannot make or link a
    // nameless file gets a named one.
    TempFile(const std::string& strHostDir, mode_t mode, Kind kind = Kind::Named);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return mfd; }
    bool blnAnonymous() const { return mstrPath.empty(); }

    // Gives the file the target's name, failing with 58 when the target
    // exists, also when it appeared a moment ago (the kernel decides).
    void PublishNoReplace(const std::string& strTarget);
    // Replaces whatever the target is (in one step). Named files only.
    void PublishReplace(const std::string& strTarget);

  private:
    void Close();
    bool blnFirstLink(const std::string& strHostDir);

    std::string mstrPath;  // empty for a nameless file
    int mfd = -1;
    bool mblnPublished = false;
};

}  // namespace platform::fs
