#include "EditFolderAdvanced.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "FolderNode.h"
#include "Globals.h"
#include "TWDeclarations.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"
#include "savecore/DefinitionFile.h"
#include "savecore/InstructionFormat.h"
#include "savecore/Wildcard.h"
#include "tarnwicklib/ModuleErrors.h"

namespace tarnwickbackup {

namespace ui = platform::ui;

namespace {

constexpr int glngKEY_ROLE = Qt::UserRole;

const char* const gapszLIST_LABEL[3] = {nullptr,
                                        "&Only backup files matching these wildcard names:",
                                        "Do &NOT backup files matching these wildcard names:"};

QString strPlain(const char* pszCaption) {
    return QString::fromUtf8(pszCaption).remove(QLatin1Char('&'));
}

QLabel* NewLabel(QWidget* parent, const QString& strName, const QString& strCaption, bool blnWrap) {
    auto* label = new QLabel(strCaption, parent);
    label->setObjectName(strName);
    label->setWordWrap(blnWrap);
    return label;
}

QPushButton* NewButton(QWidget* parent, const QString& strName, const QString& strCaption) {
    auto* button = new QPushButton(strCaption, parent);
    button->setObjectName(strName);
    // Enter presses the focused button; elsewhere Close (Enter in a list
    // edits its row instead).
    button->setAutoDefault(true);
    return button;
}

void Refuse(const std::string& strText) {
    ui::Ui().MsgBox(strText, ui::vbCritical + ui::vbOKOnly, gstrAPP_TITLE);
}

// Blanks, tabs and line breaks off both ends.
std::string strTrimAll(const std::string& strText) {
    const char* const pszSpace = " \t\r\n\v\f";
    const std::size_t ixFirst = strText.find_first_not_of(pszSpace);
    if (ixFirst == std::string::npos) return "";
    return strText.substr(ixFirst, strText.find_last_not_of(pszSpace) - ixFirst + 1);
}

// Why the instruction file cannot take strPattern ("" when it can).
std::string strPatternProblem(const std::string& strPattern) {
    if (!savecore::blnPatternWritable(strPattern))
        return "A wildcard name cannot contain a line break.";
    try {
        savecore::Wildcard objCheck(strPattern);
    } catch (const platform::RtError& e) {
        if (e.Number() != savecore::glngINVALID_PATTERN) throw;
        return "\"" + strPattern +
               "\" is not a valid wildcard name: every \"[\" needs a closing \"]\", and a range "
               "such as \"[A-Z]\" must run upward.";
    }
    return "";
}

}  // namespace

EditFolderAdvanced::EditFolderAdvanced(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditFolderAdvanced"));
    setWindowTitle(QStringLiteral("Advanced Folder Instructions"));
    BuildControls();
    for (int i = 1; i <= 2; ++i) {
        connect(cmdAddFile[i], &QPushButton::clicked, this, [this, i] { cmdAddFile_Click(i); });
        connect(cmdEditFile[i], &QPushButton::clicked, this, [this, i] { cmdEditFile_Click(i); });
        connect(cmdDeleteFile[i], &QPushButton::clicked, this,
                [this, i] { cmdDeleteFile_Click(i); });
        connect(lvwFiles[i], &QListWidget::itemDoubleClicked, this,
                [this, i] { cmdEditFile_Click(i); });
        lvwFiles[i]->installEventFilter(this);
    }
    connect(txtSuppressPattern, &QLineEdit::textChanged, this,
            &EditFolderAdvanced::txtSuppressPattern_Change);
    connect(cmdClose, &QPushButton::clicked, this, &EditFolderAdvanced::cmdClose_Click);
    SetHelpContext(*this, glngHELP_FOLDER_ADVANCED);
}

void EditFolderAdvanced::BuildControls() {
    auto* grid = new QGridLayout;
    const char* apszSuffix[3] = {nullptr, "1", "2"};
    for (int i = 1; i <= 2; ++i) {
        const QString strIndex = QString::fromUtf8(apszSuffix[i]);
        lblFiles[i] = NewLabel(this, QStringLiteral("lblFiles") + strIndex,
                               QString::fromUtf8(gapszLIST_LABEL[i]), false);
        lvwFiles[i] = new QListWidget(this);
        lvwFiles[i]->setObjectName(QStringLiteral("lvwFiles") + strIndex);
        lvwFiles[i]->setAccessibleName(strPlain(gapszLIST_LABEL[i]));
        lvwFiles[i]->setSelectionMode(QAbstractItemView::SingleSelection);
        lvwFiles[i]->setSortingEnabled(false);
        lvwFiles[i]->setUniformItemSizes(true);
        lvwFiles[i]->setMinimumHeight(lvwFiles[i]->fontMetrics().height() * 4 + 8);
        lblFiles[i]->setBuddy(lvwFiles[i]);
        cmdAddFile[i] =
            NewButton(this, QStringLiteral("cmdAddFile") + strIndex, QStringLiteral("Add Name..."));
        cmdEditFile[i] = NewButton(this, QStringLiteral("cmdEditFile") + strIndex,
                                   QStringLiteral("Edit Name..."));
        cmdDeleteFile[i] = NewButton(this, QStringLiteral("cmdDeleteFile") + strIndex,
                                     QStringLiteral("Delete Name..."));
        // Both lists have buttons of the same captions: say which list.
        for (QPushButton* button : {cmdAddFile[i], cmdEditFile[i], cmdDeleteFile[i]})
            button->setAccessibleDescription(strPlain(gapszLIST_LABEL[i]));

        auto* buttons = new QVBoxLayout;
        buttons->addWidget(cmdAddFile[i]);
        buttons->addWidget(cmdEditFile[i]);
        buttons->addWidget(cmdDeleteFile[i]);
        if (i == 2) {
            // Broken by hand to fit under the buttons: a wrapped label in a
            // grid gets no height of its own and is cut off in a small window.
            lblOverrides = NewLabel(
                this, QStringLiteral("lblOverrides"),
                QStringLiteral("(Overrides matches\nin the \"do backup\"\nlist above)"), false);
            lvwFiles[2]->setAccessibleDescription(
                QStringLiteral("(Overrides matches in the \"do backup\" list above)"));
            buttons->addWidget(lblOverrides);
        }
        buttons->addStretch(1);
        const int lngRow = (i - 1) * 2;
        grid->addWidget(lblFiles[i], lngRow, 0, 1, 2);
        grid->addWidget(lvwFiles[i], lngRow + 1, 0);
        grid->addLayout(buttons, lngRow + 1, 1);
        grid->setRowStretch(lngRow + 1, 1);
    }
    grid->setColumnStretch(0, 1);

    lblSuppressPattern = NewLabel(
        this, QStringLiteral("lblSuppressPattern"),
        QStringLiteral("Do not backup &folder if folder name matches this wildcard:"), false);
    txtSuppressPattern = new QLineEdit(this);
    txtSuppressPattern->setObjectName(QStringLiteral("txtSuppressPattern"));
    txtSuppressPattern->setAccessibleName(lblSuppressPattern->text().remove(QLatin1Char('&')));
    lblSuppressPattern->setBuddy(txtSuppressPattern);
    // The notes are broken by hand and never wrapped: a wrapped label gets
    // too little height from the layout once the window is made small.
    const QString strSuppressNote = QStringLiteral(
        "(Overrides all other instructions, including those in subfolders. Used to "
        "temporarily prevent a folder from being backed up by renaming it)");
    lblSuppressNote =
        NewLabel(this, QStringLiteral("lblSuppressNote"),
                 QStringLiteral("(Overrides all other instructions, including those\n"
                                "in subfolders. Used to temporarily prevent a folder\n"
                                "from being backed up by renaming it)"),
                 false);
    txtSuppressPattern->setAccessibleDescription(strSuppressNote);
    lblFooter = NewLabel(
        this, QStringLiteral("lblFooter"),
        QStringLiteral("These instructions apply only to this folder, not to any subfolders!"),
        false);
    QFont fontBold = lblFooter->font();
    fontBold.setBold(true);
    lblFooter->setFont(fontBold);
    cmdClose = NewButton(this, QStringLiteral("cmdClose"), QStringLiteral("Close"));
    cmdClose->setDefault(true);

    auto* pattern = new QHBoxLayout;
    pattern->addWidget(txtSuppressPattern, 1, Qt::AlignTop);
    pattern->addWidget(lblSuppressNote, 0);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblFooter, 1);
    bottom->addWidget(cmdClose, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(6);
    layout->addWidget(lblSuppressPattern);
    layout->addLayout(pattern);
    layout->addSpacing(6);
    layout->addLayout(bottom);

    setTabOrder(lvwFiles[1], cmdAddFile[1]);
    setTabOrder(cmdAddFile[1], cmdEditFile[1]);
    setTabOrder(cmdEditFile[1], cmdDeleteFile[1]);
    setTabOrder(cmdDeleteFile[1], lvwFiles[2]);
    setTabOrder(lvwFiles[2], cmdAddFile[2]);
    setTabOrder(cmdAddFile[2], cmdEditFile[2]);
    setTabOrder(cmdEditFile[2], cmdDeleteFile[2]);
    setTabOrder(cmdDeleteFile[2], txtSuppressPattern);
    setTabOrder(txtSuppressPattern, cmdClose);
    resize(600, 500);
}

void EditFolderAdvanced::ShowMe(FolderNode& objFolderNode, const std::string& strPath) {
    try {
        if (!objFolderNode.objDefFile)
            AppErrors().RaiseError("The folder has no instructions of its own.");
        mobjFolderNode = &objFolderNode;
        setWindowTitle(QString::fromStdString("Advanced Instr. For " + strPath));
        mintLastKey = 0;
        mblnLoading = true;
        savecore::DefinitionFile& objDef = *objFolderNode.objDefFile;
        ConfigListView(1, objDef.colIncludeFiles());
        ConfigListView(2, objDef.colExcludeFiles());
        mblnPatternChanged = false;
        txtSuppressPattern->setText(QString::fromStdString(objDef.strSuppressPattern()));
        mblnLoading = false;
        lvwFiles[1]->setFocus();
        exec();
        mobjFolderNode = nullptr;
    } catch (...) {
        mblnLoading = false;
        mobjFolderNode = nullptr;
        AppErrors().TopError("EditFolderAdvanced.ShowMe");
    }
}

void EditFolderAdvanced::ConfigListView(int intIndex,
                                        const std::optional<std::vector<std::string>>& colFiles) {
    try {
        mablnListChanged[intIndex] = false;
        lvwFiles[intIndex]->clear();
        if (colFiles)
            for (const std::string& strName : *colFiles) AddRow(intIndex, strName);
    } catch (...) {
        AppErrors().NestedError("EditFolderAdvanced.ConfigListView");
    }
}

std::string EditFolderAdvanced::strNewKey() {
    if (mintLastKey == INT16_MAX) throw platform::RtError(platform::rt::kOverflow);
    ++mintLastKey;
    return "#" + std::to_string(mintLastKey);
}

QListWidgetItem* EditFolderAdvanced::AddRow(int intIndex, const std::string& strText) {
    auto* objRow = new QListWidgetItem(QString::fromStdString(strText));
    objRow->setData(glngKEY_ROLE, QString::fromStdString(strNewKey()));
    lvwFiles[intIndex]->addItem(objRow);
    return objRow;
}

QListWidgetItem* EditFolderAdvanced::SelectedRow(int intIndex) const {
    const QList<QListWidgetItem*> colSelected = lvwFiles[intIndex]->selectedItems();
    return colSelected.isEmpty() ? nullptr : colSelected.front();
}

void EditFolderAdvanced::MarkListChanged(int intIndex, QListWidgetItem* objRow) {
    QListWidget& objList = *lvwFiles[intIndex];
    if (objRow) {
        objList.setCurrentItem(objRow);
        objList.scrollToItem(objRow);
    }
    objList.viewport()->update();
    objList.setFocus();
    mablnListChanged[intIndex] = true;
}

std::string EditFolderAdvanced::strAcceptName(int intIndex, const std::string& strAnswer,
                                              const QListWidgetItem* objEdited) {
    const std::string strName = strUCase(strTrimAll(strAnswer));
    if (strName.empty()) return "";
    const std::string strProblem = strPatternProblem(strName);
    if (!strProblem.empty()) {
        Refuse(strProblem);
        return "";
    }
    QListWidget& objList = *lvwFiles[intIndex];
    for (int i = 0; i < objList.count(); ++i) {
        QListWidgetItem* objRow = objList.item(i);
        if (objRow == objEdited) continue;
        if (strUCase(objRow->text().toStdString()) == strName) {
            Refuse("\"" + strName + "\" is already in this list.");
            objList.setCurrentItem(objRow);
            objList.scrollToItem(objRow);
            objList.setFocus();
            return "";
        }
    }
    return strName;
}

void EditFolderAdvanced::cmdAddFile_Click(int Index) {
    try {
        const std::string strAnswer = ui::Ui().InputBox(
            "Enter wildcard name to add to list, for example \"bigfile.exe\", \"bigfile.*\" or "
            "\"*.exe\":",
            "Wildcard To Add", "");
        if (strAnswer.empty()) return;
        const std::string strName = strAcceptName(Index, strAnswer, nullptr);
        if (strName.empty()) return;
        MarkListChanged(Index, AddRow(Index, strName));
    } catch (...) {
        AppErrors().TopError("EditFolderAdvanced.cmdAddFile_Click");
    }
}

void EditFolderAdvanced::cmdEditFile_Click(int Index) {
    try {
        QListWidgetItem* objRow = SelectedRow(Index);
        if (!objRow) {
            Refuse("Click on the name to change first.");
            return;
        }
        const std::string strOld = objRow->text().toStdString();
        const std::string strAnswer = ui::Ui().InputBox("Edit wildcard name:", "Edit", strOld);
        if (strAnswer.empty()) return;
        const std::string strName = strAcceptName(Index, strAnswer, objRow);
        if (strName.empty() || strName == strOld) return;
        objRow->setText(QString::fromStdString(strName));
        MarkListChanged(Index, objRow);
    } catch (...) {
        AppErrors().TopError("EditFolderAdvanced.cmdEditFile_Click");
    }
}

void EditFolderAdvanced::cmdDeleteFile_Click(int Index) {
    try {
        QListWidgetItem* objSelected = SelectedRow(Index);
        if (!objSelected) {
            Refuse("Click on the name to delete first.");
            return;
        }
        QListWidget& objList = *lvwFiles[Index];
        const QVariant vntKey = objSelected->data(glngKEY_ROLE);
        int lngRow = -1;
        for (int i = 0; i < objList.count(); ++i)
            if (objList.item(i)->data(glngKEY_ROLE) == vntKey) lngRow = i;
        delete objList.takeItem(lngRow);
        // The next row (or the new last one) is selected, so a keyboard user
        // can go on deleting.
        QListWidgetItem* objNext = objList.item(std::min(lngRow, objList.count() - 1));
        if (objNext) objNext->setSelected(true);
        MarkListChanged(Index, objNext);
    } catch (...) {
        AppErrors().TopError("EditFolderAdvanced.cmdDeleteFile_Click");
    }
}

void EditFolderAdvanced::txtSuppressPattern_Change() {
    if (!mblnLoading) mblnPatternChanged = true;
}

void EditFolderAdvanced::cmdClose_Click() {
    reject();
}

void EditFolderAdvanced::reject() {
    int16_t Cancel = 0;
    Form_Unload(Cancel);
    if (!Cancel) QDialog::reject();
}

void EditFolderAdvanced::Form_Unload(int16_t& Cancel) {
    try {
        if (!mablnListChanged[1] && !mablnListChanged[2] && !mblnPatternChanged) return;
        const int32_t lngAnswer = ui::Ui().MsgBox(
            "You have changed these advanced instructions. Do you want to save these changes?",
            ui::vbYesNoCancel + ui::vbQuestion + ui::vbDefaultButton3, "Confirm");
        if (lngAnswer == ui::vbCancel) {
            Cancel = 1;
            return;
        }
        if (lngAnswer != ui::vbYes) return;
        const std::string strPattern = txtSuppressPattern->text().toStdString();
        if (mblnPatternChanged) {
            const std::string strProblem = strPatternProblem(strPattern);
            if (!strProblem.empty()) {
                Refuse(strProblem);
                Cancel = 1;
                txtSuppressPattern->setFocus();
                return;
            }
        }
        savecore::DefinitionFile& objDef = *mobjFolderNode->objDefFile;
        if (mblnPatternChanged) objDef.strSuppressPattern(strPattern);
        for (int i = 1; i <= 2; ++i) {
            if (!mablnListChanged[i]) continue;
            savecore::PatternList colFiles;
            for (int lngRow = 0; lngRow < lvwFiles[i]->count(); ++lngRow)
                colFiles.push_back(lvwFiles[i]->item(lngRow)->text().toStdString());
            if (i == 1)
                objDef.colIncludeFiles(std::move(colFiles));
            else
                objDef.colExcludeFiles(std::move(colFiles));
        }
    } catch (...) {
        AppErrors().TopError("EditFolderAdvanced.Form_Unload");
    }
}

bool EditFolderAdvanced::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (int i = 1; i <= 2; ++i) {
            if (watched != lvwFiles[i]) continue;
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & ~Qt::KeypadModifier) break;
            switch (key->key()) {
                case Qt::Key_Insert:
                    cmdAddFile_Click(i);
                    return true;
                case Qt::Key_Delete:
                    cmdDeleteFile_Click(i);
                    return true;
                case Qt::Key_F2:
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    cmdEditFile_Click(i);
                    return true;
                default:
                    break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tarnwickbackup
