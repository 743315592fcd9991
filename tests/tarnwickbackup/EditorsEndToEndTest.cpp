// A backup type made only through the windows, from New Type to the
// advanced instructions, and a backup of it.
#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "tarnwickbackup/EditDefDrives.h"
#include "tarnwickbackup/EditDefFolders.h"
#include "tarnwickbackup/EditFolderAdvanced.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using namespace tarnwickbackup;

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const char* pszName) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == QLatin1String(pszName)) return parent->child(i);
    ADD_FAILURE() << "no folder " << pszName;
    return parent;
}

template <class Window>
void CloseLeftOpen(Window& w) {
    w.done(0);
}

class EditorsEndToEndTest : public AppFixture {};

TEST_F(EditorsEndToEndTest, ATypeMadeInTheWindowsBacksUpExactlyTheChosenFiles) {
    BuildTree(mTmp / "c",
              "Docs/a.txt\nDocs/Letters/b.doc\nDocs/Letters/c.tmp\nMusic/song.mp3\n"
              "Temp/Keep/x.txt\n");
    auto& form = StartForm();
    mUi->QueueInputBoxAnswer("Reader");
    mUi->QueueMsgBoxAnswer(ui::vbYes);  // create it

    auto fnFolders = [this](EditDefFolders& f) {
        f.Form_Activate();
        QTreeWidgetItem* root = f.tvwFolders->topLevelItem(0);
        QTreeWidgetItem* docs = Child(root, "Docs");
        f.tvwFolders->setCurrentItem(docs);
        f.cmdBackupInclude_Click();
        f.cmdExpand_Click();
        f.tvwFolders->setCurrentItem(Child(docs, "Letters"));
        f.cmdBackupExclude_Click();
        WhenOpen<EditFolderAdvanced>(
            [this](EditFolderAdvanced& a) {
                mUi->QueueInputBoxAnswer("*.doc");
                a.cmdAddFile_Click(1);
                mUi->QueueMsgBoxAnswer(ui::vbYes);  // keep the changes
                a.cmdClose_Click();
            },
            CloseLeftOpen<EditFolderAdvanced>);
        f.cmdAdvanced_Click();
        f.tvwFolders->setCurrentItem(Child(root, "Temp"));
        f.cmdBackupSkip_Click();
        mUi->QueueMsgBoxAnswer(ui::vbYes);  // save
        f.cmdClose_Click();
        mUi->QueueMsgBoxAnswer(ui::vbNo);  // then no space calculation
    };
    WhenOpen<EditDefDrives>(
        [this, fnFolders](EditDefDrives& d) {
            QTreeWidgetItem* c = nullptr;
            for (int i = 0; i < d.lvwDrives->topLevelItemCount(); ++i)
                if (d.lvwDrives->topLevelItem(i)->text(0).startsWith(QLatin1String("C:")))
                    c = d.lvwDrives->topLevelItem(i);
            ASSERT_NE(c, nullptr);
            d.lvwDrives->setCurrentItem(c);
            d.lvwDrives_ItemClick(c);
            WhenOpen<EditDefFolders>(fnFolders, CloseLeftOpen<EditDefFolders>);
            d.cmdEditDrive_Click();
            d.cmdClose_Click();
        },
        CloseLeftOpen<EditDefDrives>);
    form.cmdNewType_Click();
    EXPECT_EQ(mUi->PendingAnswers(), 0u);
    EXPECT_NE(form.cboBackup->findText(QStringLiteral("Reader")), -1);

    std::filesystem::create_directories(mTmp / "e" / "bk");
    auto& manager = *form.objManager();
    manager.InitBackupMode();
    EXPECT_FALSE(manager.blnProcess("Reader", "E:\\bk\\", false));
    EXPECT_EQ(manager.strGetErrorLog(), "");
    EXPECT_EQ(ReadTree(mTmp / "e" / "bk"),
              "C$/Docs/Letters/b.doc=Docs/Letters/b.doc\n"
              "C$/Docs/Reader.BDF=;Backup type definition file\r\nIncludeFamily\r\n\n"
              "C$/Docs/a.txt=Docs/a.txt\n");
}

}  // namespace
}  // namespace twtest
