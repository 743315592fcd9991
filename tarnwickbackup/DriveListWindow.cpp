#include "DriveListWindow.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "FolderTree.h"
#include "Globals.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

DriveListWindow::DriveListWindow(QWidget* parent, const char* pszName) : QDialog(parent) {
    setObjectName(QString::fromUtf8(pszName));
}

void DriveListWindow::NewDriveList(const QString& strAccessibleName, int intWidth, int intRows) {
    lvwDrives = new QTreeWidget(this);
    lvwDrives->setObjectName(QStringLiteral("lvwDrives"));
    lvwDrives->setAccessibleName(strAccessibleName);
    lvwDrives->setRootIsDecorated(false);
    lvwDrives->setItemsExpandable(false);
    lvwDrives->setUniformRowHeights(true);
    lvwDrives->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwDrives->header()->setStretchLastSection(true);
    lvwDrives->setMinimumSize(
        intWidth + 2 * lvwDrives->frameWidth() + 4,
        (lvwDrives->fontMetrics().height() + 4) * intRows + 2 * lvwDrives->frameWidth());
    ConnectNodePicked(*lvwDrives, *this,
                      [this](QTreeWidgetItem* objItem) { lvwDrives_ItemClick(objItem); });
    connect(lvwDrives, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* objItem) { lvwDrives_ItemClick(objItem); });
}

void DriveListWindow::ClearDriveList(const QStringList& colHeaders,
                                     std::initializer_list<int> colWidths) {
    mintSelected = 0;
    lvwDrives->clear();
    lvwDrives->setColumnCount(static_cast<int>(colHeaders.size()));
    lvwDrives->setHeaderLabels(colHeaders);
    int intColumn = 0;
    for (const int intWidth : colWidths) lvwDrives->setColumnWidth(intColumn++, intWidth);
}

QTreeWidgetItem* DriveListWindow::objAddDriveRow(int16_t intEntry, const QStringList& colTexts) {
    auto* objItem = new QTreeWidgetItem(lvwDrives, colTexts);
    objItem->setData(0, Qt::UserRole, QStringLiteral("#%1").arg(intEntry));
    return objItem;
}

bool DriveListWindow::blnPickRow(int intRow) {
    QTreeWidgetItem* objItem = lvwDrives->topLevelItem(intRow);
    if (!objItem) return false;
    lvwDrives->setCurrentItem(objItem);
    lvwDrives_ItemClick(objItem);
    return true;
}

void DriveListWindow::lvwDrives_ItemClick(QTreeWidgetItem* objItem) {
    try {
        if (!objItem) return;
        mintSelected =
            static_cast<int16_t>(objItem->data(0, Qt::UserRole).toString().mid(1).toInt());
        EnablePicked();
    } catch (...) {
        AppErrors().TopError(objectName().toStdString() + ".lvwDrives_ItemClick");
    }
}

}  // namespace tarnwickbackup
