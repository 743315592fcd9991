// The file queue of an installation: copies and deletions are queued, then
// carried out in one commit that reports progress and asks what to do about
// each failure (retry, skip, cancel). A copy goes through a temporary file
// in the target folder and a rename, so a target is never half written and
// a file that a running program holds open is replaced for the next start
// while the program keeps the old one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::win {

enum class QueueAnswer { Retry, Skip, Cancel };

class FileQueueCallback {
  public:
    virtual ~FileQueueCallback() = default;
    virtual void OnStart(int lngCount) { (void)lngCount; }
    virtual void OnFile(int lngIndex, const std::string& strPath) {
        (void)lngIndex;
        (void)strPath;
    }
    // strOperation is "copy" or "delete"; strError says what went wrong.
    virtual QueueAnswer OnError(const std::string& strOperation, const std::string& strPath,
                                const std::string& strError) = 0;
    virtual void OnEnd() {}
};

// The default callback without a window: each failure is a message box of
// the user-interface services (Abort = cancel, Retry, Ignore = skip).
class UiQueueCallback : public FileQueueCallback {
  public:
    QueueAnswer OnError(const std::string& strOperation, const std::string& strPath,
                        const std::string& strError) override;
};

class FileQueue {
  public:
    // The target name "" keeps the source's name; missing target folders are
    // made.
    void QueueCopy(const std::string& strSourceFolder, const std::string& strSourceName,
                   const std::string& strTargetFolder, const std::string& strTargetName = "");
    // Deleting a file that is not there counts as done.
    void QueueDelete(const std::string& strFolder, const std::string& strName);
    // Carries out and empties the queue. False when cancelled (what was done
    // before stays done); skipped failures do not make it fail.
    bool blnCommit(FileQueueCallback& callback);
    std::size_t lngPending() const { return maOps.size(); }

  private:
    struct Op {
        bool blnCopy = false;
        std::string strSource;
        std::string strTarget;
    };
    std::vector<Op> maOps;
};

// Copies one file through a temporary beside the target; "" on success,
// else what went wrong.
std::string strCopyFileReplacing(const std::string& strSource, const std::string& strTarget);

}  // namespace platform::win
