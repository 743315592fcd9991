#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "MainFormFixture.h"

namespace twtest {
namespace {

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) items << list.itemText(i);
    return items;
}

class MainFormListsTest : public AppFixture {};

TEST_F(MainFormListsTest, RemovableAndCdDrivesAndSavedDestinationsAreListedWithoutCaseDuplicates) {
    auto& first = StartForm();
    // A: is a diskette drive, C: fixed and N: network: none is offered. F:
    // holds no disc and is offered all the same. Nothing saved: none is selected.
    EXPECT_EQ(Items(*first.cboDest), (QStringList{"e:\\", "f:\\", "g:\\"}));
    EXPECT_EQ(first.cboDest->currentIndex(), -1);
    EXPECT_EQ(first.windowTitle(), "Vantrel (Made Simple) 3.0");

    mSettings->SaveSetting("Destinations", "Dest0", "E:\\");
    mSettings->SaveSetting("Destinations", "Dest3", "n:\\Backups\\Daily\\");
    mSettings->SaveSetting("Destinations", "Dest1", "n:\\backups\\daily\\");
    mSettings->SaveSetting("General", "CurrentDestination", "N:\\BACKUPS\\DAILY\\");
    auto& form = StartForm();
    // Each saved value is lower-cased and compared with the entries as they
    // stand: E:\ meets e:\, but the two spellings of n:\... both stay.
    EXPECT_EQ(Items(*form.cboDest), (QStringList{"e:\\", "f:\\", "g:\\", "n:\\Backups\\Daily\\",
                                                 "n:\\backups\\daily\\"}));
    // The current destination is matched without case: the first one wins.
    EXPECT_EQ(form.cboDest->currentText(), "n:\\Backups\\Daily\\");

    // An unknown one falls back to the last removable drive, not the last entry.
    mSettings->SaveSetting("General", "CurrentDestination", "q:\\gone\\");
    EXPECT_EQ(StartForm().cboDest->currentText(), "g:\\");
}

TEST_F(MainFormListsTest, SaveNumbersByPositionAndSkipsEntriesOfTheWrongForm) {
    mSettings->SaveSetting("Destinations", "Dest7", "n:\\stale\\");
    auto& form = StartForm();
    form.cboDest->clear();
    form.cboDest->addItem("e:\\");
    form.cboDest->addItem("e:\\no-backslash");
    form.cboDest->addItem("f:\\data\\");
    form.cboDest->setCurrentIndex(2);
    form.SaveDestinations();
    EXPECT_EQ(mSettings->GetAllSettings("Destinations"),
              (tarnwickbackup::SettingList{{"Dest0", "e:\\"}, {"Dest2", "f:\\data\\"}}));
    EXPECT_EQ(Setting("General", "CurrentDestination"), "f:\\data\\");

    form.cboDest->setCurrentIndex(-1);
    form.SaveDestinations();
    EXPECT_EQ(Setting("General", "CurrentDestination"), "");
}

TEST_F(MainFormListsTest, BackupTypesComeFromRootsOfListedReadyDrives) {
    BuildTree(mTmp / "c",
              "Daily.old.BDF\nWeekly.bdf\nDAILY.BDF\nnotes.txt\nMonthly.BDF.bak\nsub/Deep.BDF\n");
    BuildTree(mTmp / "n", "Net.BDF\n");
    BuildTree(mTmp / "e", "Stick.BDF\n");
    auto& form = StartForm();
    QStringList types = Items(*form.cboBackup);
    types.sort();
    // DAILY.BDF and Daily.old.BDF name one type, whichever the host lists first.
    ASSERT_EQ(types.size(), 4);
    EXPECT_EQ(types[0].toUpper(), "DAILY");
    EXPECT_EQ(types.mid(1), (QStringList{"Monthly", "Net", "Weekly"}));
    EXPECT_EQ(form.cboBackup->currentIndex(), -1);
    EXPECT_FALSE(mUi->blnBusy()) << "the hourglass is taken down again";

    // Removable drives take part only with the check box.
    form.chkIncludeMiscDrives->click();
    EXPECT_TRUE(Items(*form.cboBackup).contains("Stick"));
    form.chkIncludeMiscDrives->click();
    EXPECT_FALSE(Items(*form.cboBackup).contains("Stick"));
}

TEST_F(MainFormListsTest, ClosingIsRefusedWhileBusyAndSavesWhenIdle) {
    auto& form = StartForm();
    form.cboDest->addItem("e:\\kept\\");
    form.EnableButtons(false);
    EXPECT_FALSE(form.cmdHelp->isEnabled());
    EXPECT_TRUE(form.cboDest->isEnabled()) << "the lists stay usable";
    EXPECT_FALSE(form.close());
    EXPECT_EQ(Setting("Destinations", "Dest3"), "<absent>");
    EXPECT_NE(form.objManager(), nullptr);

    form.EnableButtons(true);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(Setting("Destinations", "Dest3"), "e:\\kept\\");
    EXPECT_EQ(form.objManager(), nullptr);
}

TEST_F(MainFormListsTest, ActivationQueuedBehindAnEarlyCloseDoesNothing) {
    mForm = std::make_unique<tarnwickbackup::MainForm>(mFs);
    mForm->Form_Load();
    ASSERT_TRUE(mForm->close());
    mForm->Form_Activate();
    EXPECT_EQ(mForm->cboDest->count(), 0);
    EXPECT_TRUE(mUi->Prompts().empty()) << "no error report either";
}

}  // namespace
}  // namespace twtest
