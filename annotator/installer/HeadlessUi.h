// The installer without a display: each box is one line on the error
// stream, "[title] text -> answer", answered by the next entry of a script
// (NOTAVEX_INSTALLER_ANSWERS: "ok", "cancel", ... separated by commas) or
// else with its default button. The licence's default is Cancel: nobody
// accepts an agreement by not being there to read it.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>

#include "annotator/installer/InstallerUi.h"

namespace notavex::installer {

class HeadlessUi : public InstallerUi {
  public:
    HeadlessUi(std::ostream& echo, const std::string& strAnswers);

    void CreateProgress(bool) override {}
    void SetStatus(const std::string&) override {}
    void DestroyProgress() override {}
    bool blnAsk(const std::string& strText, const std::string& strTitle) override;
    void Tell(const std::string& strText, const std::string& strTitle) override;
    bool blnLicenceAccepted() override;
    void Alert(const std::string& strText) override;
    bool blnGoToNotavex(const std::string& strText) override;
    platform::win::FileQueueCallback& QueueCallback() override { return mCallback; }
    void Pause(int lngMs) override;

  private:
    bool blnAnswer(const std::string& strTitle, const std::string& strText, bool blnDefault,
                   const char* strYes, const char* strNo);

    std::ostream& mEcho;
    std::deque<bool> mqAnswers;
    platform::win::UiQueueCallback mCallback;
};

}  // namespace notavex::installer
