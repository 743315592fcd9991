// The advanced instructions of one folder with instructions of its own:
// wildcard names of files to back up and not to back up, and a wildcard
// that suppresses the folder by its name. Changes the folder's instruction
// file in memory only; the folder editor saves it.
//
// Choices made here:
// - Rows keep the order of the file (no sorting); a new name goes to the end.
// - An answer is trimmed of blanks, tabs and line breaks at both ends (the
//   file keeps no blanks there anyway); one that is then empty does nothing,
//   as Cancel does.
// - A name already in the list (letter case ignored) is not added twice: a
//   message says so and the existing row is selected. An edit that leaves
//   the text as it was changes nothing.
// - A name the file could not hold (a line break inside) or that is no valid
//   wildcard (an unclosed "[", a range running downward) is refused with a
//   message when it is entered, since the engine would stop at this folder.
//   The same check is made for a changed pattern on "Yes"; the window then
//   stays open with the pattern box focused.
// - The pattern is stored as typed (letter case too): the file reader upper-
//   cases every line, so only the in-memory object sees the case.
// - Keyboard: Insert adds, F2 / Enter / double-click edits, Delete deletes in
//   a focused list; Enter elsewhere is Close. Escape and the title bar close
//   through Form_Unload as Close does.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tarnwickbackup {

class FolderNode;

class EditFolderAdvanced : public QDialog {
    Q_OBJECT

  public:
    explicit EditFolderAdvanced(QWidget* parent = nullptr);

    // Modal; objFolderNode.objDefFile must be set.
    void ShowMe(FolderNode& objFolderNode, const std::string& strPath);

    void cmdAddFile_Click(int Index);
    void cmdEditFile_Click(int Index);
    void cmdDeleteFile_Click(int Index);
    void txtSuppressPattern_Change();
    void cmdClose_Click();
    // Cancel = 1 keeps the window open.
    void Form_Unload(int16_t& Cancel);

    // Escape, the title bar's close box and cmdClose all end here.
    void reject() override;

    // Control arrays, indexed 1 (include list) and 2 (exclude list).
    std::array<QLabel*, 3> lblFiles{};
    std::array<QListWidget*, 3> lvwFiles{};
    std::array<QPushButton*, 3> cmdAddFile{};
    std::array<QPushButton*, 3> cmdEditFile{};
    std::array<QPushButton*, 3> cmdDeleteFile{};
    QLabel* lblOverrides = nullptr;
    QLabel* lblSuppressPattern = nullptr;
    QLineEdit* txtSuppressPattern = nullptr;
    QLabel* lblSuppressNote = nullptr;
    QLabel* lblFooter = nullptr;
    QPushButton* cmdClose = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConfigListView(int intIndex, const std::optional<std::vector<std::string>>& colFiles);
    QListWidgetItem* AddRow(int intIndex, const std::string& strText);
    std::string strNewKey();
    void MarkListChanged(int intIndex, QListWidgetItem* objRow);
    QListWidgetItem* SelectedRow(int intIndex) const;
    // The cleaned answer, or "" when it is refused (after the message) or empty.
    std::string strAcceptName(int intIndex, const std::string& strAnswer,
                              const QListWidgetItem* objEdited);

    FolderNode* mobjFolderNode = nullptr;
    int16_t mintLastKey = 0;
    bool mblnLoading = false;
    std::array<bool, 3> mablnListChanged{};
    bool mblnPatternChanged = false;
};

}  // namespace tarnwickbackup
