// A progress label that keeps its whole text (for tests and screen readers)
// but draws a long folder path shortened in the middle instead of widening
// the window.
#pragma once

#include <QLabel>
#include <QPainter>

namespace tarnwickbackup {

class ElidedLabel : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect rect = contentsRect();
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, rect.width()));
    }
};

}  // namespace tarnwickbackup
