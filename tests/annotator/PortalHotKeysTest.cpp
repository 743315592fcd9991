// Hot keys through the global-shortcuts portal, against a stand-in portal
// on a private session bus (run under dbus-run-session): the shortcuts are
// bound with their triggers, an activation reaches the agent, and where no
// portal answers nothing registers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>

#include "annotator/src/PortalHotKeys.h"
#include "tests/annotator/DesktopApp.h"

namespace twtest {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSession = kPath + QStringLiteral("/session/test/nvagent");

class StandinPortal : public QDBusVirtualObject {
  public:
    StandinPortal() : mBus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal")) {
        mblnUp = mBus.registerVirtualObject(kPath, this) &&
                 mBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
    ~StandinPortal() override {
        mBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        mBus.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus("portal");
    }
    void Activate(const QString& strId) {
        QDBusMessage signal = QDBusMessage::createSignal(
            kPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
            QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(kSession)) << strId << quint64(0)
               << QVariantMap();
        mBus.send(signal);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QList<QVariant> args = message.arguments();
        if (message.member() == "CreateSession" && args.size() == 1)
            return Answer(message, qdbus_cast<QVariantMap>(args[0]),
                          {{QStringLiteral("session_handle"), kSession}});
        if (message.member() != "BindShortcuts" || args.size() != 4) return false;
        std::vector<std::string> bind;
        const QDBusArgument shortcuts = args[1].value<QDBusArgument>();
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            QString strId;
            QVariantMap properties;
            shortcuts.beginStructure();
            shortcuts >> strId >> properties;
            shortcuts.endStructure();
            bind.push_back((strId + " " + properties.value("preferred_trigger").toString() + " " +
                            properties.value("description").toString())
                               .toStdString());
        }
        shortcuts.endArray();
        maBinds.push_back(bind);
        return Answer(message, qdbus_cast<QVariantMap>(args[3]), {});
    }

    bool mblnUp = false;
    std::vector<std::vector<std::string>> maBinds;

  private:
    // The request's object, then its Response signal once the call is
    // answered.
    bool Answer(const QDBusMessage& message, const QVariantMap& options,
                const QVariantMap& results) {
        QString strSender = message.service().mid(1);
        strSender.replace('.', '_');
        const QString strRequest =
            kPath + "/request/" + strSender + "/" + options.value("handle_token").toString();
        mBus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(strRequest))));
        QDBusMessage signal =
            QDBusMessage::createSignal(strRequest, QStringLiteral("org.freedesktop.portal.Request"),
                                       QStringLiteral("Response"));
        signal << 0u << results;
        mBus.send(signal);
        return true;
    }
    QDBusConnection mBus;
};

TEST(Portal, ShortcutsAreBoundWithTheirTriggersAndAnActivationReachesTheAgent) {
    EnsureDesktopApp();
    StandinPortal portal;
    ASSERT_TRUE(portal.mblnUp);
    PortalHotKeys keys;
    std::vector<int32_t> aPressed;
    keys.SetPressed([&](int32_t id) { aPressed.push_back(id); });
    EXPECT_TRUE(keys.RegisterHotKey(21073, MOD_CONTROL | MOD_SHIFT, 'W'));
    EXPECT_TRUE(keys.RegisterHotKey(21074, MOD_CONTROL | MOD_SHIFT, 'R'));
    EXPECT_FALSE(keys.RegisterHotKey(5, MOD_CONTROL | MOD_SHIFT, 'W'));  // taken
    ASSERT_TRUE(blnRunUntil([&] { return !portal.maBinds.empty(); }));
    EXPECT_EQ(portal.maBinds.back(),
              (std::vector<std::string>{"21073 CTRL+SHIFT+w Capture Window for Markup",
                                        "21074 CTRL+SHIFT+r Capture Region for Markup"}));

    portal.Activate("21074");
    ASSERT_TRUE(blnRunUntil([&] { return !aPressed.empty(); }));
    keys.UnregisterHotKey(21074);
    ASSERT_TRUE(blnRunUntil([&] { return portal.maBinds.size() == 2; }));
    EXPECT_EQ(portal.maBinds.back().size(), 1u);
    portal.Activate("21074");  // unbound: ignored
    portal.Activate("21073");
    ASSERT_TRUE(blnRunUntil([&] { return aPressed.size() == 2; }));
    EXPECT_EQ(aPressed, (std::vector<int32_t>{21074, 21073}));
}

TEST(Portal, WithoutAPortalNothingRegisters) {
    EnsureDesktopApp();
    PortalHotKeys keys;
    EXPECT_TRUE(blnRunUntil([&] { return !keys.RegisterHotKey(21073, MOD_CONTROL, 'W'); }));
}

}  // namespace
}  // namespace twtest
