// Global hot keys in a Wayland session, through the desktop's
// global-shortcuts portal (org.freedesktop.portal.GlobalShortcuts): one
// session, its shortcuts bound again whenever the set changes, each with
// the wanted keys as its preferred trigger; the desktop may ask the user
// and may choose other keys. The portal cannot unbind a shortcut, so an
// unregistered id's activations are ignored. Everything is asynchronous:
// the event loop never waits on the bus. Where the desktop has no such
// portal, nothing registers and the agent says so once.
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <map>
#include <memory>

#include "annotator/src/HotKeys.h"

class QDBusMessage;
class QDBusPendingCallWatcher;

class PortalHotKeys : public QObject, public HotKeys {
    Q_OBJECT
  public:
    PortalHotKeys();
    ~PortalHotKeys() override;

    bool RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) override;
    void UnregisterHotKey(int32_t lngId) override;

    // The trigger in the shortcuts' notation ("CTRL+SHIFT+w"); empty for a
    // key it cannot name.
    static QString strTrigger(uint32_t lngModifiers, uint32_t lngVirtualKey);

  private slots:
    void OnResponse(uint lngResponse, const QVariantMap& results);
    void OnActivated(const QDBusMessage& message);

  private:
    struct Shortcut {
        QString strTrigger;
        QString strDescription;
    };
    QString strRequestPath(const QString& strToken) const;
    void Call(const QString& strMethod, const QList<QVariant>& args, const QString& strToken);
    void Unavailable(const QString& strWhy);
    void ScheduleBind();
    void Bind();

    std::map<int32_t, Shortcut> mShortcuts;
    QString mstrSession;
    QString mstrWhy;
    bool mblnUnavailable = false;
    bool mblnBindPending = false;
    bool mblnSaid = false;
    int mlngToken = 0;
};
