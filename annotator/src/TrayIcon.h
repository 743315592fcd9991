// The agent's icon in the notification area, with the tip "Notavex" and
// its menu. A click with either button hands the button's release to the
// agent's window, which opens the menu; a chosen item hands its command id.
#pragma once

#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class AgentMenu;
class QSystemTrayIcon;

class TrayIcon {
  public:
    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void Add();
    void Delete();
    bool blnShown() const;
    // Opens the menu at the cursor, its lower right corner there (as it
    // opens from a panel at the bottom).
    void ShowMenu();
    // A short message at the icon; nothing when it is not shown.
    void Notify(const QString& strText);

    void SetMouseHandler(std::function<void(uint32_t lngMouseMessage)> handler);
    void SetCommandHandler(std::function<void(uint32_t lngId)> handler);

    AgentMenu& Menu() { return *mMenu; }
    QSystemTrayIcon& Icon() { return *mIcon; }
    // The agent's own icon, drawn from its picture at the sizes panels use.
    static QIcon AgentIcon();

  private:
    std::unique_ptr<AgentMenu> mMenu;
    std::unique_ptr<QSystemTrayIcon> mIcon;
    std::function<void(uint32_t)> mOnMouse;
    std::function<void(uint32_t)> mOnCommand;
};
