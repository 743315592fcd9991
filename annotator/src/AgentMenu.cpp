#include "annotator/src/AgentMenu.h"

namespace {

void AddItem(QMenu& menu, const char* text, uint32_t lngId) {
    QAction* action = menu.addAction(QString::fromUtf8(text));
    action->setData(lngId);
}

}  // namespace

AgentMenu::AgentMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("AgentMenu");
    setAccessibleName("Notavex");
    AddItem(*this, "Start Notavex", IDM_STARTNOTAVEX);
    AddItem(*this, "My Collection...", IDM_MYCOLLECTION);
    addSeparator();
    AddItem(*this, "Capture Window for Markup", IDM_CAPTUREWINDOW);
    AddItem(*this, "Capture Region for Markup", IDM_CAPTUREREGION);
    addSeparator();
    AddItem(*this, "Capture Options...", IDM_CAPTUREOPTIONS);
    addSeparator();
    AddItem(*this, "Hide Notavex Icon", IDM_HIDEICON);

    QAction* start = actions().first();
    QFont bold = start->font();
    bold.setBold(true);
    start->setFont(bold);
    setDefaultAction(start);
}

uint32_t AgentMenu::lngCommandOf(const QAction* action) {
    return action ? action->data().toUInt() : 0;
}
