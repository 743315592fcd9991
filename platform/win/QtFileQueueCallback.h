// The file queue's default windows: a progress dialog while it commits and
// a Retry / Skip / Cancel box for each failure, owned by the caller's window.
#pragma once

#include <memory>

#include "platform/win/FileQueue.h"

class QProgressDialog;
class QWidget;

namespace platform::win {

class QtFileQueueCallback : public FileQueueCallback {
  public:
    explicit QtFileQueueCallback(QWidget* pOwner);
    ~QtFileQueueCallback() override;

    void OnStart(int lngCount) override;
    void OnFile(int lngIndex, const std::string& strPath) override;
    QueueAnswer OnError(const std::string& strOperation, const std::string& strPath,
                        const std::string& strError) override;
    void OnEnd() override;

  private:
    QWidget* mpOwner;
    std::unique_ptr<QProgressDialog> mpProgress;
};

}  // namespace platform::win
