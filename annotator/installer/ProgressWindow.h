// The progress window: no caption, always on top, the banner across the top
// and the status line centred along the bottom, on a grey background.
#pragma once

#include <QDialog>

class QLabel;

namespace notavex::installer {

class ProgressWindow : public QDialog {
  public:
    explicit ProgressWindow(QWidget* pParent = nullptr);
    void SetStatus(const QString& strStatus);
    QString strStatus() const;

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    // Escape does not dismiss it: it goes when the installer is done.
    void reject() override {}

  private:
    QLabel* mpStatus;
};

// The banner drawn across the top of the progress window.
QPixmap BannerPixmap();

}  // namespace notavex::installer
