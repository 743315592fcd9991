#include "RestoreFiles.h"

#include <QListWidget>
#include <QPalette>
#include <algorithm>

#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/FileSystem.h"
#include "platform/ui/UiServices.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;
namespace pfs = platform::fs;

// The prompt says how to pick several, which a list does not show.
RestoreFiles::RestoreFiles(QWidget* parent)
    : ListPickDialog(
          parent, "RestoreFiles", QStringLiteral("Select Files To Restore"),
          QStringLiteral("&Files (click; Shift+click or Ctrl+click picks several, Ctrl+A all):"),
          "filNames") {
    filNames->setAccessibleName(QStringLiteral("Files"));
    // Click, Shift+click, Ctrl+click and Ctrl+A, as in every list.
    filNames->setSelectionMode(QAbstractItemView::ExtendedSelection);
    filNames->setUniformItemSizes(true);
    filNames->setMinimumSize(200, 120);
    setSizeGripEnabled(true);
    resize(420, 380);
    SetHelpContext(*this, glngHELP_RESTORE);
}

bool RestoreFiles::blnShowMe(const std::string& strSrc, std::vector<std::string>& colFiles) {
    try {
        ListFiles(strSrc);
        mblnCancelled = false;
        exec();
        if (!mblnCancelled) colFiles = mcolSelectedFiles;
        return mblnCancelled;
    } catch (...) {
        AppErrors().NestedError("RestoreFiles.blnShowMe");
    }
}

void RestoreFiles::ListFiles(const std::string& strSrc) {
    filNames->clear();
    std::vector<pfs::FilePtr> colFiles = pfs::ProcessFileSystem().GetFolder(strSrc)->Files();
    std::sort(colFiles.begin(), colFiles.end(), [](const pfs::FilePtr& a, const pfs::FilePtr& b) {
        return QString::fromStdString(a->Name()).compare(QString::fromStdString(b->Name()),
                                                         Qt::CaseInsensitive) < 0;
    });
    const QBrush brsGrey = palette().brush(QPalette::Disabled, QPalette::Text);
    for (const pfs::FilePtr& objFile : colFiles) {
        auto* item = new QListWidgetItem(QString::fromStdString(objFile->Name()), filNames);
        const int32_t lngAttributes = objFile->Attributes();
        QStringList colMarks;
        if (lngAttributes & pfs::vbHidden) colMarks << QStringLiteral("hidden");
        if (lngAttributes & pfs::vbSystem) colMarks << QStringLiteral("system");
        if (colMarks.isEmpty()) continue;
        // Greyed as the system's file views show them, and said as well.
        const QString strMark = QStringLiteral("(") + colMarks.join(QStringLiteral(", ")) + ")";
        item->setForeground(brsGrey);
        item->setToolTip(strMark);
        item->setData(Qt::AccessibleDescriptionRole, strMark);
    }
    // The keyboard starts on the first file without picking it.
    if (filNames->count() > 0) filNames->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    filNames->setFocus();
}

void RestoreFiles::cmdOkay_Click() {
    try {
        mcolSelectedFiles.clear();
        for (int i = 0; i < filNames->count(); ++i) {
            if (filNames->item(i)->isSelected())
                mcolSelectedFiles.push_back(filNames->item(i)->text().toStdString());
        }
        if (mcolSelectedFiles.empty()) {
            ui::Ui().MsgBox("Please click on file(s) to select them to restore.",
                            ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
            filNames->setFocus();
            return;
        }
        accept();
    } catch (...) {
        AppErrors().TopError("RestoreFiles.cmdOkay_Click");
    }
}

void RestoreFiles::cmdCancel_Click() {
    mblnCancelled = true;
    QDialog::reject();
}

// Escape and the title bar are Cancel.
void RestoreFiles::reject() {
    cmdCancel_Click();
}

}  // namespace tarnwickbackup
