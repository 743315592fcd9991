// What the folder editor and the restore window share of their folder
// trees: node keys in order of creation, a node's path below the tree's
// root, a folder's subfolders read once per opening, and the node a person
// picks with the mouse, the keyboard or a screen reader.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"

class QObject;
class QWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarnwickbackup {

class FolderNode;

// The tree of a folder window: one column without header, each name in
// full (scrolled sideways when long), and the accessible name "Folders".
QTreeWidget* NewFolderTree(QWidget* parent);
// The key a node was made with.
int32_t lngNodeKey(const QTreeWidgetItem* objNode);
// A new node under objParent (at the top of tvw when null), keyed with the
// next number after lngLastKey.
QTreeWidgetItem* objAddFolderNode(QTreeWidget& tvw, QTreeWidgetItem* objParent,
                                  const QString& strText, int32_t& lngLastKey);
// "\" for the root node, "\A\B" for a node below it.
std::string strTreePath(const QTreeWidgetItem* objNode);
// The subfolders of strFolder sorted by name without letter case, unless
// objRec's were read already (then none). A folder that cannot be listed
// is said once, greyed with a tool tip, and counts as read.
std::vector<platform::fs::FolderPtr> colUnreadSubFolders(const platform::fs::FileSystem& objFileSys,
                                                         const std::string& strFolder,
                                                         QTreeWidgetItem& objNode,
                                                         FolderNode& objRec);
// fnPicked gets the node picked by a click, the arrow keys, or a screen
// reader that selects a row without moving the current one.
void ConnectNodePicked(QTreeWidget& tvw, QObject& objContext,
                       std::function<void(QTreeWidgetItem*)> fnPicked);

// The description of the failure being handled, also when it started
// further down and arrives passed through. Call only inside a catch block.
std::string strCurrentFailure();
std::string strQuoted(const std::string& strText);

}  // namespace tarnwickbackup
