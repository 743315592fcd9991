// The help viewer: one non-modal window that shows a topic of a help file
// chosen by its context number, with links between topics, Back and a topic
// list. Opening never waits for the user.
//
// Asked for while a modal window is open (F1 in a dialog), the viewer
// becomes a window of that modal window's own, the only windows a modal
// window does not block, so it comes to the front and can be scrolled and
// clicked while the dialog stays open. When that dialog goes, the viewer
// is handed to the modal window below it, or to no window, keeping its
// place, size, topic and history instead of going with the dialog.
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
    // The modal window the viewer lives under; null when it is on its own.
    QWidget* objOwner() const { return parentWidget(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit HelpViewer(bool blnPopup);
    void Load(const std::filesystem::path& helpFile);
    void ShowContext(int32_t lngContext, bool blnRemember);
    void OnLink(const QUrl& url);
    void cmdBack_Click();
    // Makes the viewer a window of objModal (null: of no window), where it
    // keeps its geometry, and shows it again if it was open.
    void MoveUnder(QWidget* objModal);

    std::filesystem::path mHelpFile;
    std::vector<HelpTopic> maTopics;
    std::vector<int32_t> malngHistory;
    int32_t mlngContext = 0;
    bool mblnFound = false;
    bool mblnFileRead = false;
    bool mblnShownOnce = false;
    QTextBrowser* mtxtTopic = nullptr;
    QComboBox* mcboTopics = nullptr;
    QPushButton* mcmdBack = nullptr;
};

}  // namespace platform::qt
