// The user-interface services on Qt: message boxes with exactly the title,
// icon, buttons and default button asked for, input boxes, letting pending
// events run and the busy (hourglass) cursor.
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/ui/UiServices.h"

class QMessageBox;

namespace platform::qt {

class QtUi : public platform::ui::UiServices {
  public:
    int32_t MsgBox(const std::string& strPrompt, int32_t lngStyle,
                   const std::string& strTitle) override;
    std::string InputBox(const std::string& strPrompt, const std::string& strTitle,
                         const std::string& strDefault) override;
    void DoEvents() override;
    void SetBusyCursor(bool blnBusy) override;

    // The box MsgBox would show, not yet shown (the caller owns it); each
    // button carries its result in the property "vbResult".
    static QMessageBox* NewMessageBox(const std::string& strPrompt, int32_t lngStyle,
                                      const std::string& strTitle);
    // CR LF, CR and LF all become one line break.
    static QString ToDisplayText(const std::string& strText);

  private:
    bool mblnBusy = false;
    std::chrono::steady_clock::time_point mLastEvents;
};

}  // namespace platform::qt
