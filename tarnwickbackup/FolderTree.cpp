#include "FolderTree.h"

#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>
#include <algorithm>

#include "FolderNode.h"
#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/ModuleErrors.h"
#include "tarnwicklib/SharedData.h"

namespace tarnwickbackup {

namespace ui = platform::ui;
using platform::fs::FolderPtr;

namespace {

// Marks a folder whose subfolders could not be read, also for screen readers.
void MarkUnlisted(QTreeWidgetItem& objNode, const std::string& strError) {
    const QString strTip =
        QStringLiteral("Its subfolders could not be read: ") + QString::fromStdString(strError);
    objNode.setToolTip(0, strTip);
    objNode.setForeground(0, QPalette().brush(QPalette::Disabled, QPalette::Text));
    objNode.setData(0, Qt::AccessibleDescriptionRole,
                    objNode.data(0, Qt::AccessibleDescriptionRole).toString() +
                        QStringLiteral(", subfolders could not be read"));
}

}  // namespace

std::string strQuoted(const std::string& strText) {
    return "\"" + strText + "\"";
}

std::string strCurrentFailure() {
    try {
        throw;
    } catch (const platform::RtError& e) {
        if (e.Number() != tarnwick::lngPassThru) return e.Description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    const auto objHandler = tarnwick::SharedData().objErrorHandler();
    return objHandler ? objHandler->strErrorDesc() : std::string();
}

QTreeWidget* NewFolderTree(QWidget* parent) {
    auto* tvw = new QTreeWidget(parent);
    tvw->setObjectName(QStringLiteral("tvwFolders"));
    tvw->setAccessibleName(QStringLiteral("Folders"));
    tvw->setHeaderHidden(true);
    tvw->setColumnCount(1);
    tvw->setIconSize(QSize(16, 16));
    tvw->setUniformRowHeights(true);
    tvw->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvw->header()->setStretchLastSection(false);
    return tvw;
}

int32_t lngNodeKey(const QTreeWidgetItem* objNode) {
    return objNode->data(0, Qt::UserRole).toInt();
}

QTreeWidgetItem* objAddFolderNode(QTreeWidget& tvw, QTreeWidgetItem* objParent,
                                  const QString& strText, int32_t& lngLastKey) {
    if (lngLastKey == INT32_MAX) throw platform::RtError(platform::rt::kOverflow);
    ++lngLastKey;
    auto* objNode = objParent ? new QTreeWidgetItem(objParent) : new QTreeWidgetItem(&tvw);
    objNode->setText(0, strText);
    objNode->setData(0, Qt::UserRole, lngLastKey);
    return objNode;
}

std::string strTreePath(const QTreeWidgetItem* objNode) {
    std::string strPath;
    for (const QTreeWidgetItem* n = objNode; n && n->parent(); n = n->parent())
        strPath = "\\" + n->text(0).toStdString() + strPath;
    return strPath.empty() ? "\\" : strPath;
}

std::vector<FolderPtr> colUnreadSubFolders(const platform::fs::FileSystem& objFileSys,
                                           const std::string& strFolder, QTreeWidgetItem& objNode,
                                           FolderNode& objRec) {
    std::vector<FolderPtr> colSubs;
    if (objRec.blnChildrenLoaded) return colSubs;
    // Marked first: a failure below must not make the folder be read again
    // at every expansion.
    objRec.blnChildrenLoaded = true;
    try {
        colSubs = objFileSys.GetFolder(strFolder)->SubFolders();
    } catch (...) {
        const std::string strError = strCurrentFailure();
        objRec.blnUnlisted = true;
        MarkUnlisted(objNode, strError);
        ui::Ui().MsgBox("The following error occurred while looking for subfolders of " +
                            strQuoted(strFolder) + ": " + strQuoted(strError),
                        ui::vbOKOnly, gstrAPP_TITLE);
    }
    // Sorted by name, as the system's own folder views do.
    std::sort(colSubs.begin(), colSubs.end(), [](const FolderPtr& a, const FolderPtr& b) {
        return QString::fromStdString(a->Name()).compare(QString::fromStdString(b->Name()),
                                                         Qt::CaseInsensitive) < 0;
    });
    return colSubs;
}

void ConnectNodePicked(QTreeWidget& tvw, QObject& objContext,
                       std::function<void(QTreeWidgetItem*)> fnPicked) {
    QObject::connect(&tvw, &QTreeWidget::currentItemChanged, &objContext,
                     [fnPicked](QTreeWidgetItem* objNode) { fnPicked(objNode); });
    QObject::connect(&tvw, &QTreeWidget::itemSelectionChanged, &objContext, [&tvw, fnPicked] {
        const auto colSelected = tvw.selectedItems();
        if (!colSelected.isEmpty()) fnPicked(colSelected.front());
    });
}

}  // namespace tarnwickbackup
