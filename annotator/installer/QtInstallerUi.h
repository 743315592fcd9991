// The installer's windows on Qt: the progress window owns every box and
// dialog, so none of them hides behind it.
#pragma once

#include <memory>

#include "annotator/installer/InstallerUi.h"

class QWidget;

namespace platform::win {
class QtFileQueueCallback;
}

namespace notavex::installer {

class ProgressWindow;

class QtInstallerUi : public InstallerUi {
  public:
    QtInstallerUi();
    ~QtInstallerUi() override;

    void CreateProgress(bool blnVisible) override;
    void SetStatus(const std::string& strStatus) override;
    void DestroyProgress() override;
    bool blnAsk(const std::string& strText, const std::string& strTitle) override;
    void Tell(const std::string& strText, const std::string& strTitle) override;
    bool blnLicenceAccepted() override;
    void Alert(const std::string& strText) override;
    bool blnGoToNotavex(const std::string& strText) override;
    platform::win::FileQueueCallback& QueueCallback() override;
    void Pause(int lngMs) override;

  private:
    int32_t lngMessageBox(const std::string& strText, int32_t lngStyle,
                          const std::string& strTitle);
    QWidget* Owner() const;

    std::unique_ptr<ProgressWindow> mpProgress;
    std::unique_ptr<platform::win::QtFileQueueCallback> mpQueueCallback;
};

}  // namespace notavex::installer
