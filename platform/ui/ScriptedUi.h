// User-interface services without a toolkit: every box is recorded and
// answered from a queued script, or with its default button (an input box
// with its default text) when the script is empty. With an echo stream it
// is also the headless implementation: each box is written as one line,
// "[title] text", line breaks shown as " | ".
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "UiServices.h"

namespace platform::ui {

struct RecordedPrompt {
    bool blnInputBox = false;
    std::string strPrompt;
    int32_t lngStyle = 0;  // message boxes only
    std::string strTitle;
    std::string strDefault;  // input boxes only
    int32_t lngResult = 0;   // the button answered (message boxes)
    std::string strResult;   // the text answered (input boxes)
};

class ScriptedUi : public UiServices {
  public:
    ScriptedUi() = default;
    // Headless: also writes each box to echo (usually std::cerr).
    explicit ScriptedUi(std::ostream& echo) : mpEcho(&echo) {}

    // "The next box answers vbNo." A queued answer that is not a button of
    // the box it meets is a mistake in the test and throws logic_error.
    void QueueMsgBoxAnswer(int32_t lngButton) { mqMsgBoxAnswers.push_back(lngButton); }
    // "The next input box answers 'x'"; "" stands for Cancel.
    void QueueInputBoxAnswer(std::string strText) { mqInputAnswers.push_back(std::move(strText)); }
    // Runs on every DoEvents, so a test can press Stop during a run.
    void OnDoEvents(std::function<void()> fnCallback) { mfnDoEvents = std::move(fnCallback); }

    const std::vector<RecordedPrompt>& Prompts() const { return maPrompts; }
    void ClearPrompts() { maPrompts.clear(); }
    std::size_t PendingAnswers() const { return mqMsgBoxAnswers.size() + mqInputAnswers.size(); }

    bool blnBusy() const { return mblnBusy; }
    int lngBusySetCount() const { return mlngBusySet; }
    int lngBusyRestoreCount() const { return mlngBusyRestore; }
    int lngDoEventsCount() const { return mlngDoEvents; }

    int32_t MsgBox(const std::string& strPrompt, int32_t lngStyle,
                   const std::string& strTitle) override;
    std::string InputBox(const std::string& strPrompt, const std::string& strTitle,
                         const std::string& strDefault) override;
    void DoEvents() override;
    void SetBusyCursor(bool blnBusy_) override;

    // "[title] text" with each CR LF, LF or CR shown as " | ".
    static std::string strOneLine(const std::string& strTitle, const std::string& strText);

  private:
    void Echo(const std::string& strTitle, const std::string& strText);

    std::ostream* mpEcho = nullptr;
    std::deque<int32_t> mqMsgBoxAnswers;
    std::deque<std::string> mqInputAnswers;
    std::function<void()> mfnDoEvents;
    std::vector<RecordedPrompt> maPrompts;
    bool mblnBusy = false;
    int mlngBusySet = 0;
    int mlngBusyRestore = 0;
    int mlngDoEvents = 0;
};

}  // namespace platform::ui
