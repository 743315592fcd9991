// The help viewer: one non-modal window that shows a topic of a help file
// chosen by its context number, with links between topics, Back and a topic
// list. Opening never waits for the user.
//
// Help file format (UTF-8): topics written as
//   <topic context="1000" title="The main window"> HTML body </topic>
// Anything outside the topic elements is ignored (comments, a header).
// Inside a body, <a href="topic:2001"> opens another topic.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <vector>

class QComboBox;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace platform::qt {

struct HelpTopic {
    int32_t lngContext = 0;
    QString strTitle;
    QString strHtml;
};

class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    // Shows the topic in the viewer window (made on first use, then reused
    // and raised), or in a small pop-up window when blnPopup is set. A
    // missing file or topic is said inside the window, as help viewers do.
    static HelpViewer* ShowTopic(const std::filesystem::path& helpFile, int32_t lngContext,
                                 bool blnPopup);
    // The viewer window, null before the first ShowTopic.
    static HelpViewer* Current();

    static std::vector<HelpTopic> ParseTopics(const QString& strText);

    int32_t lngContext() const { return mlngContext; }
    bool blnTopicFound() const { return mblnFound; }
    QString strShownText() const;

  private:
    explicit HelpViewer(bool blnPopup);
    void Load(const std::filesystem::path& helpFile);
    void ShowContext(int32_t lngContext, bool blnRemember);
    void OnLink(const QUrl& url);
    void cmdBack_Click();

    std::filesystem::path mHelpFile;
    std::vector<HelpTopic> maTopics;
    std::vector<int32_t> malngHistory;
    int32_t mlngContext = 0;
    bool mblnFound = false;
    bool mblnFileRead = false;
    QTextBrowser* mtxtTopic = nullptr;
    QComboBox* mcboTopics = nullptr;
    QPushButton* mcmdBack = nullptr;
};

}  // namespace platform::qt
