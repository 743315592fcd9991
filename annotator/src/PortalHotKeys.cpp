#include "annotator/src/PortalHotKeys.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <cstdio>

#include "annotator/src/X11HotKeys.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

struct PortalShortcut {
    QString strId;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& arg, const PortalShortcut& s) {
    arg.beginStructure();
    arg << s.strId << s.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, PortalShortcut& s) {
    arg.beginStructure();
    arg >> s.strId >> s.properties;
    arg.endStructure();
    return arg;
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalHotKeys::PortalHotKeys() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Unavailable(QStringLiteral("no session bus"));
        return;
    }
    bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                SLOT(OnActivated(QDBusMessage)));
    const QString strToken = QStringLiteral("nvagent_session");
    Call(QStringLiteral("CreateSession"),
         {QVariantMap{{QStringLiteral("handle_token"), strToken},
                      {QStringLiteral("session_handle_token"), QStringLiteral("nvagent")}}},
         strToken);
}

PortalHotKeys::~PortalHotKeys() = default;

QString PortalHotKeys::strRequestPath(const QString& strToken) const {
    QString strSender = QDBusConnection::sessionBus().baseService().mid(1);
    strSender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return kPath + QStringLiteral("/request/") + strSender + QLatin1Char('/') + strToken;
}

// Listens for the request's answer before asking, so it cannot be missed.
void PortalHotKeys::Call(const QString& strMethod, const QList<QVariant>& args,
                         const QString& strToken) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, strRequestPath(strToken), kRequest, QStringLiteral("Response"), this,
                SLOT(OnResponse(uint, QVariantMap)));
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, strMethod);
    message.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        if (w->isError()) Unavailable(w->error().message());
        w->deleteLater();
    });
}

void PortalHotKeys::Unavailable(const QString& strWhy) {
    mblnUnavailable = true;
    if (mstrWhy.isEmpty()) mstrWhy = strWhy;
    if (mShortcuts.empty() || mblnSaid) return;
    mblnSaid = true;
    std::fprintf(stderr,
                 "NVAgent: running without hot keys (no global-shortcuts portal: %s); bind "
                 "\"nvmsg 'Notavex Agent' 786 21073\" (WM_HOTKEY; 21074 for a region) to a "
                 "desktop shortcut.\n",
                 qPrintable(mstrWhy));
}

QString PortalHotKeys::strTrigger(uint32_t lngModifiers, uint32_t lngVirtualKey) {
    QString strKey;
    const uint32_t keysym = X11HotKeys::lngKeysymFromVirtualKey(lngVirtualKey);
    if (keysym >= 0x20 && keysym < 0x7f)
        strKey = QChar(static_cast<char16_t>(keysym));
    else if (keysym >= 0xffbe && keysym <= 0xffd5)
        strKey = QStringLiteral("F%1").arg(keysym - 0xffbe + 1);
    if (strKey.isEmpty()) return {};
    QString strText;
    if (lngModifiers & MOD_CONTROL) strText += QStringLiteral("CTRL+");
    if (lngModifiers & MOD_ALT) strText += QStringLiteral("ALT+");
    if (lngModifiers & MOD_SHIFT) strText += QStringLiteral("SHIFT+");
    return strText + strKey;
}

bool PortalHotKeys::RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) {
    const QString strKeys = strTrigger(lngModifiers, lngVirtualKey);
    for (const auto& [id, shortcut] : mShortcuts)
        if (shortcut.strTrigger == strKeys) return false;
    const char* description = lngId == 21073   ? "Capture Window for Markup"
                              : lngId == 21074 ? "Capture Region for Markup"
                                               : "Notavex";
    mShortcuts[lngId] = {strKeys, QString::fromLatin1(description)};
    if (mblnUnavailable) {
        Unavailable(mstrWhy);
        mShortcuts.erase(lngId);
        return false;
    }
    ScheduleBind();
    return true;
}

void PortalHotKeys::UnregisterHotKey(int32_t lngId) {
    if (mShortcuts.erase(lngId)) ScheduleBind();
}

// Both hot keys usually change together: one bind for the two.
void PortalHotKeys::ScheduleBind() {
    if (mblnBindPending) return;
    mblnBindPending = true;
    QTimer::singleShot(0, this, [this] {
        mblnBindPending = false;
        Bind();
    });
}

void PortalHotKeys::Bind() {
    if (mstrSession.isEmpty() || mblnUnavailable) return;  // bound once the session is there
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, shortcut] : mShortcuts) {
        QVariantMap properties{{QStringLiteral("description"), shortcut.strDescription}};
        if (!shortcut.strTrigger.isEmpty())
            properties[QStringLiteral("preferred_trigger")] = shortcut.strTrigger;
        shortcuts.append({QString::number(id), properties});
    }
    const QString strToken = QStringLiteral("nvagent_bind%1").arg(++mlngToken);
    Call(QStringLiteral("BindShortcuts"),
         {QVariant::fromValue(QDBusObjectPath(mstrSession)), QVariant::fromValue(shortcuts),
          QString(), QVariantMap{{QStringLiteral("handle_token"), strToken}}},
         strToken);
}

void PortalHotKeys::OnResponse(uint lngResponse, const QVariantMap& results) {
    if (!mstrSession.isEmpty()) return;  // a bind's answer: nothing to do
    if (lngResponse != 0) return Unavailable(QStringLiteral("the session was refused"));
    const QVariant session = results.value(QStringLiteral("session_handle"));
    mstrSession = session.canConvert<QDBusObjectPath>() ? session.value<QDBusObjectPath>().path()
                                                        : session.toString();
    if (!mShortcuts.empty()) Bind();
}

void PortalHotKeys::OnActivated(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2) return;
    const QVariant session = args[0];
    const QString strSession = session.canConvert<QDBusObjectPath>()
                                   ? session.value<QDBusObjectPath>().path()
                                   : session.toString();
    if (strSession != mstrSession) return;
    bool blnNumber = false;
    const int32_t lngId = args[1].toString().toInt(&blnNumber);
    if (blnNumber && mShortcuts.count(lngId)) RaisePressed(lngId);
}
