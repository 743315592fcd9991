// The Windows attribute bits of a host file or folder.
//
// Read-only is the owner's write permission; hidden is a name starting with
// a dot or the stored H flag; system and hidden flags and the archive state
// live in the extended attribute "user.tarnwick.attrib" as ASCII text:
// the flag letters ("H", "S", "HS" or none), then, when the archive bit was
// cleared, "/" + the modification time in nanoseconds + ":" + the size at
// that moment. The archive bit reads as set unless that stamp still matches
// the file, so any later change sets it again. Without user extended
// attributes on the file system, archive always reads set and system never.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace platform::fs {

class AttributeStore {
  public:
    static constexpr const char* kXattrName = "user.tarnwick.attrib";

    static int32_t Read(const std::string& strHostPath, const std::string& strHostName,
                        const struct stat& st);
    // Applies R, H, S and A of lngAttributes; other bits are ignored. A
    // failure is an RtError.
    static void Write(const std::string& strHostPath, const std::string& strHostName,
                      const struct stat& st, int32_t lngAttributes);
    // Gives a copy the hidden and system flags of its source (not the
    // archive stamp: a copy is a new file). Best effort.
    static void CopyFlags(int srcFd, int dstFd);
};

}  // namespace platform::fs
