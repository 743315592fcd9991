// The four instruction images of folder trees and instruction lists:
// "include", "exclude", "skip" and "inherit". Each differs from the others
// in shape as well as colour, so they tell apart at 16 px also for a person
// who does not tell red from green. "folder", a plain one without a mark, is
// the folder of a backup's tree.
#pragma once

#include <QIcon>
#include <QString>

class QTreeWidgetItem;

namespace tarnwickbackup {

// Item data of column 0: the image key set by SetItemImage.
inline constexpr int glngIMAGE_KEY_ROLE = Qt::UserRole + 1;

// A null icon for any other key.
QIcon FolderImage(const QString& strKey);
// What the image says, for screen readers and tool tips ("" for other keys).
QString strFolderImageText(const QString& strKey);
// Sets the image of column 0 of objItem, with its spoken text.
void SetItemImage(QTreeWidgetItem& objItem, const QString& strKey);

}  // namespace tarnwickbackup
