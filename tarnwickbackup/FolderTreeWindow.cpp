#include "FolderTreeWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "FolderNode.h"
#include "FolderTree.h"
#include "Globals.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;
using platform::fs::FolderPtr;

FolderTreeWindow::FolderTreeWindow(QWidget* parent, const char* pszName) : QDialog(parent) {
    setObjectName(QString::fromUtf8(pszName));
}

FolderTreeWindow::~FolderTreeWindow() = default;

void FolderTreeWindow::NewHint() {
    lblHint = new QLabel(
        QStringLiteral("Click on folders to the left, then use the buttons below to tell it what "
                       "to do with those folders."),
        this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
}

void FolderTreeWindow::ConnectTreeHandlers() {
    connect(tvwFolders, &QTreeWidget::itemExpanded, this, &FolderTreeWindow::tvwFolders_Expand);
    connect(tvwFolders, &QTreeWidget::itemCollapsed, this, &FolderTreeWindow::tvwFolders_Collapse);
    ConnectNodePicked(*tvwFolders, *this,
                      [this](QTreeWidgetItem* objNode) { tvwFolders_NodeClick(objNode); });
}

std::string FolderTreeWindow::strProc(const char* pszName) const {
    return objectName().toStdString() + "." + pszName;
}

void FolderTreeWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Read after the window has been drawn, so a large tree shows a window
    // with an hourglass rather than nothing.
    if (!mblnActivated) QTimer::singleShot(0, this, &FolderTreeWindow::Form_Activate);
}

void FolderTreeWindow::Form_Activate() {
    if (mblnActivated) return;
    try {
        ui::Ui().DoEvents();
        mblnActivated = true;
        if (blnTreeMissing()) return;
        LoadFolders();
    } catch (...) {
        AppErrors().TopError(strProc("Form_Activate"));
        FocusTree();
    }
}

void FolderTreeWindow::FocusTree() {
    try {
        tvwFolders->setFocus();
    } catch (...) {
    }
}

FolderNode* FolderTreeWindow::objRecord(QTreeWidgetItem* objNode) const {
    if (!objNode) return nullptr;
    const auto it = mcolFolderNodes.find(lngNodeKey(objNode));
    return it == mcolFolderNodes.end() ? nullptr : it->second.get();
}

std::string FolderTreeWindow::strNodePath(QTreeWidgetItem* objNode) const {
    return mstrTreeFolder + strTreePath(objNode);
}

QTreeWidgetItem* FolderTreeWindow::objAddNode(QTreeWidgetItem* objParent, const QString& strText) {
    return objAddFolderNode(*tvwFolders, objParent, strText, mlngLastKey);
}

FolderNode& FolderTreeWindow::objNewRecord(QTreeWidgetItem* objNode) {
    auto objOwned = std::make_unique<FolderNode>();
    FolderNode& objRec = *objOwned;
    objRec.Init(objNode);
    mcolFolderNodes.emplace(lngNodeKey(objNode), std::move(objOwned));
    return objRec;
}

void FolderTreeWindow::LoadFolders() {
    try {
        ui::BusyCursor objBusy;
        tvwFolders->clear();
        mobjSelectedNode = nullptr;
        mlngLastKey = 0;
        mcolFolderNodes.clear();
        QTreeWidgetItem* objRoot = objAddNode(nullptr, QStringLiteral("\\"));
        MakeRootNode(objRoot);
        LoadChildren(objRoot, 2);
        if (objRoot->childCount() > 0) objRoot->setExpanded(true);
        tvwFolders->setCurrentItem(objRoot);
        mobjSelectedNode = objRoot;
    } catch (...) {
        AppErrors().NestedError(strProc("LoadFolders"));
    }
}

void FolderTreeWindow::LoadChildren(QTreeWidgetItem* objNode, int16_t intLevels) {
    try {
        for (const FolderPtr& objSub :
             colUnreadSubFolders(*mobjFileSys, strNodePath(objNode), *objNode,
                                 *mcolFolderNodes.at(lngNodeKey(objNode))))
            AddSubFolder(objNode, objSub);
        if (intLevels > 1) {
            for (int i = 0; i < objNode->childCount(); ++i)
                LoadChildren(objNode->child(i), static_cast<int16_t>(intLevels - 1));
        }
    } catch (...) {
        AppErrors().NestedError(strProc("LoadChildren"));
    }
}

void FolderTreeWindow::tvwFolders_Expand(QTreeWidgetItem* objNode) {
    try {
        ui::BusyCursor objBusy;
        LoadChildren(objNode, 2);
    } catch (...) {
        AppErrors().TopError(strProc("tvwFolder_Expand"));
        FocusTree();
    }
}

void FolderTreeWindow::tvwFolders_Collapse(QTreeWidgetItem*) {
    if (tvwFolders->currentItem()) mobjSelectedNode = tvwFolders->currentItem();
}

void FolderTreeWindow::tvwFolders_NodeClick(QTreeWidgetItem* objNode) {
    if (objNode) mobjSelectedNode = objNode;
}

void FolderTreeWindow::cmdExpand_Click() {
    try {
        if (mobjSelectedNode) mobjSelectedNode->setExpanded(!mobjSelectedNode->isExpanded());
        FocusTree();
    } catch (...) {
        AppErrors().TopError(strProc("cmdExpand_Click"));
        FocusTree();
    }
}

void FolderTreeWindow::cmdClose_Click() {
    // The button reads "Stop" while the engine works.
    if (mblnBusy) {
        mblnStop = true;
        return;
    }
    reject();
}

void FolderTreeWindow::reject() {
    if (mblnBusy) {
        // The window goes when the engine has stopped.
        mblnStop = true;
        mblnClosePending = true;
        return;
    }
    mblnClosePending = false;
    int16_t Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel == 0) QDialog::reject();
}

void FolderTreeWindow::Form_Unload(int16_t&) {}

void FolderTreeWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

void FolderTreeWindow::EnableControls(std::initializer_list<QWidget*> colControls, bool blnEnable) {
    for (QWidget* control : colControls) control->setEnabled(blnEnable);
    mblnBusy = !blnEnable;
    mblnStop = false;
    cmdClose->setText(blnEnable ? QStringLiteral("Close") : QStringLiteral("Stop"));
}

void FolderTreeWindow::ConnectEvents() {
    mobjMgrEvents = std::make_unique<savecore::BackupManager::EventConnection>(
        *mobjManager, static_cast<savecore::BackupManagerEvents&>(*this));
}

void FolderTreeWindow::DisconnectEvents() {
    mobjMgrEvents.reset();
}

void FolderTreeWindow::SetProgressFolder(std::string& strText) {
    lblFolder->setText(QString::fromStdString(strText));
}

void FolderTreeWindow::blnProgressStop(bool& blnStop) {
    ui::Ui().DoEvents();
    blnStop = mblnStop;
}

}  // namespace tarnwickbackup
