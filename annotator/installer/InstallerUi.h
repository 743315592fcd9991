// What the installer shows: the progress window and its status line, its
// message boxes, the licence agreement, the alert and the browser-version
// dialog. On a desktop these are windows; without one, lines on standard
// error answered from a script or with each box's default.
#pragma once

#include <string>

#include "platform/win/FileQueue.h"

namespace notavex::installer {

class InstallerUi {
  public:
    virtual ~InstallerUi() = default;
    // The progress window; hidden in the uninstall modes, where it still
    // owns the boxes.
    virtual void CreateProgress(bool blnVisible) = 0;
    virtual void SetStatus(const std::string& strStatus) = 0;
    virtual void DestroyProgress() = 0;
    // A box with OK and Cancel; true for OK.
    virtual bool blnAsk(const std::string& strText, const std::string& strTitle) = 0;
    // A box with OK only.
    virtual void Tell(const std::string& strText, const std::string& strTitle) = 0;
    virtual bool blnLicenceAccepted() = 0;
    virtual void Alert(const std::string& strText) = 0;
    // The browser-version dialog; true for "Go to Notavex".
    virtual bool blnGoToNotavex(const std::string& strText) = 0;
    // The file queue's progress and error boxes, owned by the progress window.
    virtual platform::win::FileQueueCallback& QueueCallback() = 0;
    // Lets the windows run for a short interval (a poll's pause).
    virtual void Pause(int lngMs) = 0;
};

}  // namespace notavex::installer
