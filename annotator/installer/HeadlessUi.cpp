#include "HeadlessUi.h"

#include <chrono>
#include <ostream>
#include <sstream>
#include <thread>

#include "annotator/installer/InstallerTexts.h"
#include "platform/ui/ScriptedUi.h"

namespace notavex::installer {

HeadlessUi::HeadlessUi(std::ostream& echo, const std::string& strAnswers) : mEcho(echo) {
    std::istringstream in(strAnswers);
    std::string word;
    while (std::getline(in, word, ','))
        if (!word.empty()) mqAnswers.push_back(word == "ok" || word == "accept" || word == "go");
}

bool HeadlessUi::blnAnswer(const std::string& strTitle, const std::string& strText, bool blnDefault,
                           const char* strYes, const char* strNo) {
    bool answer = blnDefault;
    if (!mqAnswers.empty()) {
        answer = mqAnswers.front();
        mqAnswers.pop_front();
    }
    mEcho << platform::ui::ScriptedUi::strOneLine(strTitle, strText) << " -> "
          << (answer ? strYes : strNo) << std::endl;
    return answer;
}

bool HeadlessUi::blnAsk(const std::string& strText, const std::string& strTitle) {
    return blnAnswer(strTitle, strText, true, "OK", "Cancel");
}

void HeadlessUi::Tell(const std::string& strText, const std::string& strTitle) {
    blnAnswer(strTitle, strText, true, "OK", "OK");
}

bool HeadlessUi::blnLicenceAccepted() {
    return blnAnswer(texts::kInstallerTitle, texts::kLicenceQuestion, false, "Accept", "Cancel");
}

void HeadlessUi::Alert(const std::string& strText) {
    blnAnswer(texts::kAlertTitle, strText, true, "OK", "OK");
}

bool HeadlessUi::blnGoToNotavex(const std::string& strText) {
    return blnAnswer(texts::kBrowserVersionTitle, strText, true, "Go to Notavex", "Exit");
}

void HeadlessUi::Pause(int lngMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(lngMs));
}

}  // namespace notavex::installer
