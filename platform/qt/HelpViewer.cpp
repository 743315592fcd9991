#include "HelpViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace platform::qt {

namespace {

QPointer<HelpViewer>& TheViewer() {
    static QPointer<HelpViewer> objViewer;
    return objViewer;
}

}  // namespace

std::vector<HelpTopic> HelpViewer::ParseTopics(const QString& strText) {
    static const QRegularExpression reTopic(
        QString::fromLatin1(
            R"re(<topic\s+context\s*=\s*"(-?\d+)"\s+title\s*=\s*"([^"]*)"\s*>(.*?)</topic\s*>)re"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    std::vector<HelpTopic> aTopics;
    auto it = reTopic.globalMatch(strText);
    while (it.hasNext()) {
        const auto match = it.next();
        bool blnOk = false;
        const int32_t lngContext = match.captured(1).toInt(&blnOk);
        if (blnOk) aTopics.push_back({lngContext, match.captured(2), match.captured(3)});
    }
    return aTopics;
}

HelpViewer::HelpViewer(bool blnPopup) {
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window does not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    mtxtTopic = new QTextBrowser(this);
    mtxtTopic->setOpenLinks(false);
    connect(mtxtTopic, &QTextBrowser::anchorClicked, this, &HelpViewer::OnLink);
    auto* layout = new QVBoxLayout(this);
    if (blnPopup) {
        setWindowFlags(Qt::Popup);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(mtxtTopic);
        resize(420, 260);
        return;
    }
    setWindowTitle(QStringLiteral("Tarnwick Backup Help"));
    auto* row = new QHBoxLayout;
    mcmdBack = new QPushButton(QStringLiteral("Back"), this);
    mcmdBack->setEnabled(false);
    connect(mcmdBack, &QPushButton::clicked, this, &HelpViewer::cmdBack_Click);
    mcboTopics = new QComboBox(this);
    mcboTopics->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(mcboTopics, &QComboBox::activated, this,
            [this](int index) { ShowContext(mcboTopics->itemData(index).toInt(), true); });
    row->addWidget(mcmdBack);
    row->addWidget(mcboTopics, 1);
    layout->addLayout(row);
    layout->addWidget(mtxtTopic, 1);
    resize(640, 520);
}

void HelpViewer::Load(const std::filesystem::path& helpFile) {
    if (mblnFileRead && helpFile == mHelpFile) return;
    mHelpFile = helpFile;
    maTopics.clear();
    QFile file(QString::fromStdString(helpFile.string()));
    mblnFileRead = file.open(QIODevice::ReadOnly);
    if (mblnFileRead) maTopics = ParseTopics(QString::fromUtf8(file.readAll()));
    if (mcboTopics) {
        mcboTopics->clear();
        for (const HelpTopic& topic : maTopics)
            mcboTopics->addItem(topic.strTitle, topic.lngContext);
    }
}

HelpViewer* HelpViewer::ShowTopic(const std::filesystem::path& helpFile, int32_t lngContext,
                                  bool blnPopup) {
    // A modal window blocks every window but its own.
    QWidget* objModal = QApplication::activeModalWidget();
    if (blnPopup) {
        auto* popup = new HelpViewer(true);
        if (objModal) popup->setParent(objModal, popup->windowFlags());
        popup->Load(helpFile);
        popup->ShowContext(lngContext, false);
        popup->move(QCursor::pos());
        popup->show();
        return popup;
    }
    QPointer<HelpViewer>& objViewer = TheViewer();
    if (!objViewer) objViewer = new HelpViewer(false);
    objViewer->Load(helpFile);
    objViewer->ShowContext(lngContext, objViewer->isVisible());
    objViewer->MoveUnder(objModal);
    objViewer->show();
    objViewer->mblnShownOnce = true;
    objViewer->raise();
    objViewer->activateWindow();
    return objViewer;
}

void HelpViewer::MoveUnder(QWidget* objModal) {
    QWidget* objOld = parentWidget();
    // A box shown over the viewer itself cannot take it in.
    for (QWidget* w = objModal; w; w = w->parentWidget())
        if (w == this) objModal = nullptr;
    if (objModal == objOld) return;
    if (objOld) objOld->removeEventFilter(this);
    // Open means not closed by the user: a window whose owner was hidden
    // reads as not visible but is not hidden itself.
    const bool blnOpen = mblnShownOnce && !isHidden();
    const QByteArray geometry = saveGeometry();
    setParent(objModal, windowFlags() | Qt::Window);
    if (objModal) objModal->installEventFilter(this);
    if (mblnShownOnce) restoreGeometry(geometry);
    if (!blnOpen) return;
    // Back from a closed dialog, the window below it keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        // By now the closing dialog has left the list of modal windows.
        QWidget* objNext = QApplication::activeModalWidget();
        if (objNext == watched) objNext = nullptr;
        MoveUnder(objNext);
    }
    return QWidget::eventFilter(watched, event);
}

HelpViewer* HelpViewer::Current() {
    return TheViewer();
}

void HelpViewer::ShowContext(int32_t lngContext, bool blnRemember) {
    if (blnRemember && mblnFound && lngContext != mlngContext) malngHistory.push_back(mlngContext);
    if (mcmdBack) mcmdBack->setEnabled(!malngHistory.empty());
    mlngContext = lngContext;
    const QString strFile = QString::fromStdString(mHelpFile.string()).toHtmlEscaped();
    mblnFound = false;
    if (!mblnFileRead) {
        mtxtTopic->setHtml(
            QStringLiteral("<p>The help file <b>%1</b> could not be opened.</p>").arg(strFile));
        return;
    }
    for (std::size_t i = 0; i < maTopics.size(); ++i) {
        if (maTopics[i].lngContext != lngContext) continue;
        mblnFound = true;
        mtxtTopic->setHtml(maTopics[i].strHtml);
        if (mcboTopics) mcboTopics->setCurrentIndex(static_cast<int>(i));
        if (mcboTopics)
            setWindowTitle(QStringLiteral("Tarnwick Backup Help - ") + maTopics[i].strTitle);
        return;
    }
    mtxtTopic->setHtml(
        QStringLiteral("<p>There is no help topic %1 in the help file <b>%2</b>.</p>")
            .arg(lngContext)
            .arg(strFile));
}

void HelpViewer::OnLink(const QUrl& url) {
    if (url.scheme() != QStringLiteral("topic")) return;
    bool blnOk = false;
    const int32_t lngContext = url.path().toInt(&blnOk);
    if (blnOk) ShowContext(lngContext, true);
}

void HelpViewer::cmdBack_Click() {
    if (malngHistory.empty()) return;
    const int32_t lngContext = malngHistory.back();
    malngHistory.pop_back();
    ShowContext(lngContext, false);
}

QString HelpViewer::strShownText() const {
    return mtxtTopic->toPlainText();
}

}  // namespace platform::qt
