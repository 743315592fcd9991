#include "RestoreFolders.h"

namespace tarnwickbackup {

RestoreFolders::RestoreFolders(QWidget* parent) : QDialog(parent) {}

void RestoreFolders::ShowMe(savecore::BackupManager&, const std::string&, const std::string&) {
    exec();
}

}  // namespace tarnwickbackup
