#include "BackupDefList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FolderImages.h"
#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupManager.h"
#include "savecore/DefinitionFile.h"
#include "savecore/Wildcard.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace {

constexpr int glngTWIPS_PER_PIXEL = 15;

struct Column {
    const char* pszHeader;
    int lngTwips;
};
constexpr Column gaCOLUMNS[] = {{"Folder", 3800}, {"Instruction", 2800}, {"Filtering", 900}};

// Transparent: keeps the text of a row without an image in line.
QIcon BlankImage() {
    static const QIcon icon = [] {
        QPixmap pix(16, 16);
        pix.fill(Qt::transparent);
        return QIcon(pix);
    }();
    return icon;
}

struct RowTexts {
    QString strInstruction;
    QString strImage;
    QString strFiltering;
    QString strWhy;  // tool tip of a "??" row
};

// The texts of one folder's row, by the first rule that applies.
RowTexts RowFor(savecore::DefinitionFile& objDef) {
    RowTexts objRow;
    if (objDef.blnLoad()) {
        objRow.strInstruction = QStringLiteral("??");
        objRow.strWhy = QString::fromStdString(objDef.strMessage());
        return objRow;
    }
    try {
        savecore::Wildcard objCheck(objDef.strSuppressPattern());
    } catch (const platform::RtError& e) {
        if (e.Number() != savecore::glngINVALID_PATTERN) throw;
        objRow.strInstruction = QStringLiteral("??");
        objRow.strWhy =
            QString::fromStdString(e.Description() + " \"" + objDef.strSuppressPattern() +
                                   "\" in " + objDef.strSetFileName());
        return objRow;
    }
    if (objDef.blnSuppressFolder()) {
        objRow.strInstruction = QStringLiteral("Suppress");
        objRow.strImage = QStringLiteral("skip");
    } else if (objDef.blnIncludeFamily()) {
        objRow.strInstruction = QStringLiteral("Backup");
        objRow.strImage = QStringLiteral("include");
    } else if (objDef.blnExcludeFamily()) {
        objRow.strInstruction = QStringLiteral("Do NOT backup");
        objRow.strImage = QStringLiteral("exclude");
    } else if (objDef.blnSkipFamily()) {
        objRow.strInstruction = QStringLiteral("Do NOT backup, no overrides");
        objRow.strImage = QStringLiteral("skip");
    }
    objRow.strFiltering = objDef.blnFileFiltering() ? QStringLiteral("Yes") : QStringLiteral("No");
    return objRow;
}

}  // namespace

BackupDefList::BackupDefList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BackupDefList"));
    setWindowTitle(QStringLiteral("Backup Instructions"));
    lvwFiles = new QTreeWidget(this);
    lvwFiles->setObjectName(QStringLiteral("lvwFiles"));
    lvwFiles->setAccessibleName(QStringLiteral("Backup Instructions"));
    lvwFiles->setRootIsDecorated(false);
    lvwFiles->setItemsExpandable(false);
    lvwFiles->setSortingEnabled(false);
    lvwFiles->setUniformRowHeights(true);
    lvwFiles->setAllColumnsShowFocus(true);
    lvwFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwFiles->setTextElideMode(Qt::ElideMiddle);
    lvwFiles->setIconSize(QSize(16, 16));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &BackupDefList::cmdClose_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwFiles, 1);
    layout->addLayout(bottom);
    setMinimumSize(320, 200);
    SetHelpContext(*this, glngHELP_DEF_LIST);
}

void BackupDefList::ShowMe(savecore::BackupManager& objManager) {
    try {
        mobjManager = &objManager;
        if (!objManager.colDefFolders()) return;
        Form_Load();
        exec();
        lvwFiles->clear();
        mobjManager = nullptr;
    } catch (...) {
        mobjManager = nullptr;
        AppErrors().NestedError("BackupDefList.ShowMe");
    }
}

void BackupDefList::Form_Load() {
    try {
        platform::ui::BusyCursor objBusy;
        lvwFiles->clear();
        lvwFiles->setColumnCount(0);
        QStringList colHeaders;
        for (const Column& objColumn : gaCOLUMNS)
            colHeaders << QString::fromUtf8(objColumn.pszHeader);
        lvwFiles->setHeaderLabels(colHeaders);
        // The classic column widths, but never narrower than a header
        // or the longest instruction text in this font.
        const QFontMetrics& fm = lvwFiles->fontMetrics();
        const int lngPad = fm.averageCharWidth() * 3;
        const int lngIcon = lvwFiles->iconSize().width() + 8;
        int lngColumn = 0;
        for (const Column& objColumn : gaCOLUMNS) {
            int lngWidth = objColumn.lngTwips / glngTWIPS_PER_PIXEL;
            lngWidth =
                std::max(lngWidth, fm.horizontalAdvance(QString::fromUtf8(objColumn.pszHeader)) +
                                       lngPad + (lngColumn == 0 ? lngIcon : 0));
            if (lngColumn == 1)
                lngWidth = std::max(
                    lngWidth,
                    fm.horizontalAdvance(QStringLiteral("Do NOT backup, no overrides")) + lngPad);
            lvwFiles->setColumnWidth(lngColumn++, lngWidth);
        }

        const auto& colFolders = mobjManager->colDefFolders();
        QList<QTreeWidgetItem*> colRows;
        if (colFolders) {
            colRows.reserve(static_cast<qsizetype>(colFolders->size()));
            for (const platform::fs::FolderPtr& objFolder : *colFolders) {
                savecore::DefinitionFile objDef;
                objDef.Init(*mobjManager, mobjManager->strSetName(), objFolder);
                const RowTexts objTexts = RowFor(objDef);
                auto* objRow = new QTreeWidgetItem;
                const QString strPath = QString::fromStdString(objFolder->Path());
                objRow->setText(0, strPath);
                objRow->setToolTip(0, strPath);
                objRow->setText(1, objTexts.strInstruction);
                objRow->setText(2, objTexts.strFiltering);
                if (!objTexts.strWhy.isEmpty()) objRow->setToolTip(1, objTexts.strWhy);
                SetItemImage(*objRow, objTexts.strImage);
                if (objTexts.strImage.isEmpty()) objRow->setIcon(0, BlankImage());
                colRows.append(objRow);
            }
        }
        lvwFiles->addTopLevelItems(colRows);
        if (!colRows.isEmpty()) lvwFiles->setCurrentItem(colRows.front());
        // Wide enough for the longest path where the screen allows it: the
        // paths are what a person reads here.
        const QRect rcScreen = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        int lngPaths = lvwFiles->columnWidth(0);
        for (const QTreeWidgetItem* objRow : colRows)
            lngPaths = std::max(lngPaths, fm.horizontalAdvance(objRow->text(0)) + lngPad + lngIcon);
        const int lngOthers = lvwFiles->columnWidth(1) + lvwFiles->columnWidth(2);
        const int lngFrame =
            2 * lvwFiles->frameWidth() + lvwFiles->verticalScrollBar()->sizeHint().width() +
            layout()->contentsMargins().left() + layout()->contentsMargins().right();
        lngPaths = std::min(lngPaths, rcScreen.width() * 9 / 10 - lngOthers - lngFrame);
        lvwFiles->setColumnWidth(0, std::max(lvwFiles->columnWidth(0), lngPaths));
        resize(std::max(width(), lvwFiles->columnWidth(0) + lngOthers + lngFrame),
               std::max(height(), 400));
    } catch (...) {
        AppErrors().TopError("BackupDefList.Form_Load");
    }
}

void BackupDefList::cmdClose_Click() {
    accept();
}

}  // namespace tarnwickbackup
