#include "annotator/src/TrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

#include "annotator/src/AgentMenu.h"
#include "annotator/src/AgentWindow.h"

// The picture is built into a static library: its resource must be named.
static void InitAgentResources() {
    Q_INIT_RESOURCE(NVAgent);
}

namespace {
// At most 63 characters.
constexpr char kTip[] = "Notavex";
}  // namespace

TrayIcon::TrayIcon() : mMenu(std::make_unique<AgentMenu>()) {
    mIcon = std::make_unique<QSystemTrayIcon>(AgentIcon());
    mIcon->setToolTip(QString::fromLatin1(kTip));
    QObject::connect(mIcon.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (!mOnMouse) return;
                         if (reason == QSystemTrayIcon::Trigger)
                             mOnMouse(WM_LBUTTONUP);
                         else if (reason == QSystemTrayIcon::Context)
                             mOnMouse(WM_RBUTTONUP);
                     });
    QObject::connect(mMenu.get(), &QMenu::triggered, [this](QAction* action) {
        if (mOnCommand) mOnCommand(AgentMenu::lngCommandOf(action));
    });
}

TrayIcon::~TrayIcon() {
    mIcon->hide();
}

QIcon TrayIcon::AgentIcon() {
    InitAgentResources();
    // Each picture is drawn on its own pixel grid; scaling one to the other
    // size blurs every line.
    QSvgRenderer small(QStringLiteral(":/nvagent/nvagent.svg"));
    QSvgRenderer large(QStringLiteral(":/nvagent/nvagent-22.svg"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        (size < 22 ? small : large).render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void TrayIcon::Add() {
    mIcon->show();
}

void TrayIcon::Delete() {
    mIcon->hide();
}

bool TrayIcon::blnShown() const {
    return mIcon->isVisible();
}

void TrayIcon::ShowMenu() {
    const QSize size = mMenu->sizeHint();
    QPoint pos = QCursor::pos() - QPoint(size.width(), size.height());
    // Aligned to the cursor where there is room; kept on the screen where not.
    if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        const QRect area = screen->availableGeometry();
        pos.setX(std::max(pos.x(), area.left()));
        pos.setY(std::max(pos.y(), area.top()));
    }
    mMenu->popup(pos);
    mMenu->activateWindow();
}

void TrayIcon::Notify(const QString& strText) {
    if (mIcon->isVisible()) mIcon->showMessage(QString::fromLatin1(kTip), strText);
}

void TrayIcon::SetMouseHandler(std::function<void(uint32_t)> handler) {
    mOnMouse = std::move(handler);
}

void TrayIcon::SetCommandHandler(std::function<void(uint32_t)> handler) {
    mOnCommand = std::move(handler);
}
