#include "ProgressWindow.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace notavex::installer {

namespace {

constexpr QColor kBackground(179, 179, 179);

}  // namespace

QPixmap BannerPixmap() {
    QPixmap pixmap(420, 96);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, pixmap.width(), 0);
    sky.setColorAt(0, QColor(24, 48, 96));
    sky.setColorAt(1, QColor(40, 120, 150));
    p.fillRect(pixmap.rect(), sky);
    // A marker's stroke under the name: what the add-on does to a page.
    QPainterPath stroke;
    stroke.moveTo(22, 70);
    stroke.cubicTo(90, 58, 170, 80, 250, 64);
    p.setPen(QPen(QColor(250, 200, 40, 200), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stroke);
    QFont name(QStringLiteral("Verdana"), 30, QFont::Bold);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRect(20, 8, 380, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Notavex"));
    QFont line(QStringLiteral("Verdana"), 10);
    p.setFont(line);
    p.setPen(QColor(220, 235, 245));
    p.drawText(QRect(20, 70, 390, 22), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Visual Markup for Internet Explorer"));
    return pixmap;
}

ProgressWindow::ProgressWindow(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Notavex Installer"));
    setAccessibleName(QStringLiteral("Notavex Installer progress"));
    setFont(QFont(QStringLiteral("Verdana"), 10));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setAccessibleName(QStringLiteral("Notavex banner"));
    banner->setPixmap(BannerPixmap());
    mpStatus = new QLabel(this);
    mpStatus->setObjectName(QStringLiteral("status"));
    mpStatus->setAccessibleName(QStringLiteral("Status"));
    mpStatus->setAlignment(Qt::AlignCenter);
    mpStatus->setMinimumHeight(32);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(8);
    layout->addWidget(banner);
    layout->addWidget(mpStatus);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressWindow::SetStatus(const QString& strStatus) {
    mpStatus->setText(strStatus);
    mpStatus->setAccessibleDescription(strStatus);
}

void ProgressWindow::paintEvent(QPaintEvent* pEvent) {
    QDialog::paintEvent(pEvent);
    // Without a frame from the window manager, an outline keeps the grey
    // window apart from a grey desktop.
    QPainter p(this);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QString ProgressWindow::strStatus() const {
    return mpStatus->text();
}

}  // namespace notavex::installer
