// The icon's menu: its items in order, each carrying its command id, with
// "Start Notavex" drawn as the default (bold) item.
#pragma once

#include <QMenu>
#include <cstdint>

inline constexpr uint32_t IDM_CAPTUREWINDOW = 40001;
inline constexpr uint32_t IDM_CAPTUREREGION = 40002;
inline constexpr uint32_t IDM_MYCOLLECTION = 40003;
inline constexpr uint32_t IDM_HIDEICON = 40004;
inline constexpr uint32_t IDM_CAPTUREOPTIONS = 40005;
inline constexpr uint32_t IDM_STARTNOTAVEX = 40007;

class AgentMenu : public QMenu {
  public:
    explicit AgentMenu(QWidget* parent = nullptr);
    // The command id an item carries (0 for none).
    static uint32_t lngCommandOf(const QAction* action);
};
