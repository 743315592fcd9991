#include "ScriptedUi.h"

#include <ostream>
#include <stdexcept>

namespace platform::ui {

namespace {

bool blnIsButtonOf(int32_t lngButton, int32_t lngStyle) {
    switch (lngStyle & kButtonsMask) {
        case vbOKCancel:
            return lngButton == vbOK || lngButton == vbCancel;
        case vbAbortRetryIgnore:
            return lngButton == vbAbort || lngButton == vbRetry || lngButton == vbIgnore;
        case vbYesNoCancel:
            return lngButton == vbYes || lngButton == vbNo || lngButton == vbCancel;
        case vbYesNo:
            return lngButton == vbYes || lngButton == vbNo;
        case vbRetryCancel:
            return lngButton == vbRetry || lngButton == vbCancel;
        default:
            return lngButton == vbOK;
    }
}

}  // namespace

std::string ScriptedUi::strOneLine(const std::string& strTitle, const std::string& strText) {
    std::string strLine = "[" + strTitle + "] ";
    for (std::size_t i = 0; i < strText.size(); ++i) {
        const char ch = strText[i];
        if (ch == '\r' || ch == '\n') {
            strLine += " | ";
            if (ch == '\r' && i + 1 < strText.size() && strText[i + 1] == '\n') ++i;
        } else {
            strLine += ch;
        }
    }
    return strLine;
}

void ScriptedUi::Echo(const std::string& strTitle, const std::string& strText) {
    if (mpEcho) *mpEcho << strOneLine(strTitle, strText) << std::endl;
}

int32_t ScriptedUi::MsgBox(const std::string& strPrompt, int32_t lngStyle,
                           const std::string& strTitle) {
    Echo(strTitle, strPrompt);
    int32_t lngResult = DefaultResult(lngStyle);
    if (!mqMsgBoxAnswers.empty()) {
        lngResult = mqMsgBoxAnswers.front();
        mqMsgBoxAnswers.pop_front();
        if (!blnIsButtonOf(lngResult, lngStyle))
            throw std::logic_error("scripted answer " + std::to_string(lngResult) +
                                   " is not a button of the box \"" + strPrompt + "\"");
    }
    maPrompts.push_back({false, strPrompt, lngStyle, strTitle, "", lngResult, ""});
    return lngResult;
}

std::string ScriptedUi::InputBox(const std::string& strPrompt, const std::string& strTitle,
                                 const std::string& strDefault) {
    Echo(strTitle, strPrompt);
    std::string strResult = strDefault;
    if (!mqInputAnswers.empty()) {
        strResult = std::move(mqInputAnswers.front());
        mqInputAnswers.pop_front();
    }
    maPrompts.push_back({true, strPrompt, 0, strTitle, strDefault, 0, strResult});
    return strResult;
}

void ScriptedUi::DoEvents() {
    ++mlngDoEvents;
    if (mfnDoEvents) mfnDoEvents();
}

void ScriptedUi::SetBusyCursor(bool blnBusy_) {
    mblnBusy = blnBusy_;
    ++(blnBusy_ ? mlngBusySet : mlngBusyRestore);
}

}  // namespace platform::ui
