// The operations that put file contents on a drive: copy, replace and
// create. Each writes a temporary file beside the target and publishes it
// complete, so a failure (a full disk, a full simulated medium, a source
// that vanished, a fault) leaves neither a partial target nor the temporary.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform::fs {

class CapacityTracker;

class FileWriter {
  public:
    // Opens a regular file for reading. O_NONBLOCK and the type check keep a
    // FIFO or device swapped in under the name from blocking or being read.
    static int OpenForRead(const std::string& strHostPath);
    static std::string ReadAll(const std::string& strHostPath);

    // Copies contents, modification time, permission bits and the stored
    // hidden/system flags. No overwrite: 58 when the target exists, even when
    // it appears during the copy. Overwrite of a read-only target: 70.
    // beforePublish runs just before the target name is taken. Returns the
    // bytes copied.
    static uint64_t Copy(const std::string& strSource, const std::string& strHostDir,
                     const std::string& strHostName, bool blnOverwrite, CapacityTracker* tracker,
                     const std::function<void()>& beforePublish);

    // Writes strData beside the target, syncs it and renames it over the
    // target; a read-only target is 70.
    static void WriteReplacing(const std::string& strHostDir, const std::string& strHostName,
                               const std::string& strData, CapacityTracker* tracker,
                               const std::function<void()>& beforePublish);

    // An empty file; 58 when something of that name exists.
    static void CreateEmpty(const std::string& strHostPath);

    // In-kernel copy (copy_file_range, then sendfile, then read/write) from
    // the current offsets to the end of the input, or until expected bytes
    // (the size at opening; 0 = unknown) are copied. More than limit: 61.
    static uint64_t CopyContents(int in, int out, uint64_t limit, uint64_t expected = 0);
};

}  // namespace platform::fs
