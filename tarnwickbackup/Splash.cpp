#include "Splash.h"

#include <QConicalGradient>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QTimer>
#include <QVBoxLayout>

#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/ui/UiServices.h"

namespace tarnwickbackup {

Splash::Splash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QString::fromUtf8(gstrAPP_TITLE));
    imgMain = new QLabel(this);
    imgMain->setObjectName(QStringLiteral("imgMain"));
    imgMain->setPixmap(ProductPicture(128));
    lblAppName = new QLabel(this);
    lblAppName->setObjectName(QStringLiteral("lblAppName"));
    QFont titleFont = lblAppName->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblAppName->setFont(titleFont);
    lblCompanyName = new QLabel(this);
    lblCompanyName->setObjectName(QStringLiteral("lblCompanyName"));
    cmdContinue = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdContinue->setDefault(true);
    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(6000);
    connect(tmrMain, &QTimer::timeout, this, &Splash::tmrMain_Timer);
    connect(cmdContinue, &QPushButton::clicked, this, &Splash::cmdContinue_Click);

    auto* text = new QVBoxLayout;
    text->addStretch(1);
    text->addWidget(lblAppName);
    text->addWidget(lblCompanyName);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(imgMain);
    top->addSpacing(16);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdContinue);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Splash::ShowMe() {
    const AppObject& objApp = App();
    if (std::to_string(objApp.Major) + "." + std::to_string(objApp.Minor) != gstrVERSION)
        platform::ui::Ui().MsgBox("Version number text error!", platform::ui::vbOKOnly,
                                  gstrAPP_TITLE);
    lblAppName->setText(QString::fromUtf8(gstrPRODUCT_TITLE) + " " + gstrVERSION + "." +
                        QString::number(objApp.Revision));
    lblCompanyName->setText(QString::fromUtf8(gstrCOMPANY_NAME));
    if (objApp.blnHeadless) return;
    tmrMain->start();
    exec();
    tmrMain->stop();
}

void Splash::tmrMain_Timer() {
    tmrMain->stop();
    accept();
}

void Splash::cmdContinue_Click() {
    tmrMain->stop();
    accept();
}

void Splash::reject() {}

QPixmap Splash::ProductPicture(int lngSize) {
    QPixmap pixmap(lngSize, lngSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = lngSize / 128.0;
    p.scale(s, s);

    // A tile in deep blue ...
    QLinearGradient tile(0, 0, 0, 128);
    tile.setColorAt(0, QColor(0x2b, 0x5f, 0x9e));
    tile.setColorAt(1, QColor(0x16, 0x32, 0x5c));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 124, 124), 22, 22);

    // ... carrying a disc with a rainbow sheen ...
    QConicalGradient sheen(64, 60, 30);
    sheen.setColorAt(0.00, QColor(0xe8, 0xec, 0xf2));
    sheen.setColorAt(0.15, QColor(0xb8, 0xe0, 0xf8));
    sheen.setColorAt(0.30, QColor(0xf4, 0xf0, 0xc8));
    sheen.setColorAt(0.50, QColor(0xe8, 0xec, 0xf2));
    sheen.setColorAt(0.65, QColor(0xf0, 0xc8, 0xe8));
    sheen.setColorAt(0.80, QColor(0xc8, 0xf0, 0xd8));
    sheen.setColorAt(1.00, QColor(0xe8, 0xec, 0xf2));
    p.setBrush(sheen);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 1.5));
    p.drawEllipse(QPointF(64, 60), 42, 42);
    p.setBrush(QColor(0x16, 0x32, 0x5c));
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 1.5));
    p.drawEllipse(QPointF(64, 60), 9, 9);

    // ... and a green arrow turning round it: a copy kept safe.
    QPainterPath arc;
    arc.arcMoveTo(QRectF(14, 10, 100, 100), 200);
    arc.arcTo(QRectF(14, 10, 100, 100), 200, -150);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x4c, 0xc3, 0x5a), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    const QPointF tip = arc.currentPosition();
    QPainterPath head;
    head.moveTo(tip + QPointF(-13, -6));
    head.lineTo(tip + QPointF(9, -8));
    head.lineTo(tip + QPointF(2, 14));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4c, 0xc3, 0x5a));
    p.drawPath(head);
    return pixmap;
}

}  // namespace tarnwickbackup
