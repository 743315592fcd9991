// The start-up window: product picture, name with version and revision, the
// company line and Continue. It closes by itself after six seconds.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;
class QTimer;

namespace tarnwickbackup {

class Splash : public QDialog {
    Q_OBJECT

  public:
    explicit Splash(QWidget* parent = nullptr);

    // Modal. A program without a display skips the window itself (nobody
    // would see it) but still makes the version check.
    void ShowMe();

    void tmrMain_Timer();
    void cmdContinue_Click();

    // The product picture, drawn rather than loaded so nothing can be missing.
    static QPixmap ProductPicture(int lngSize);

    QLabel* imgMain = nullptr;
    QLabel* lblAppName = nullptr;
    QLabel* lblCompanyName = nullptr;
    QPushButton* cmdContinue = nullptr;
    QTimer* tmrMain = nullptr;

  protected:
    void reject() override;  // no close box, and Escape does not close either
};

}  // namespace tarnwickbackup
