#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "platform/fs/RtError.h"
#include "tarnwickbackup/BackupModeDialog.h"
#include "tarnwickbackup/TWDeclarations.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using tarnwickbackup::BackupModeDialog;

class BackupModeDialogTest : public AppFixture {
  protected:
    // Opens the dialog on the form's manager, runs fnAct in it; returns the
    // cancel flag. A dialog fnAct leaves open is cancelled.
    bool blnRun(std::function<void(BackupModeDialog&)> fnAct, const std::string& strDest = "e:\\") {
        if (!mForm) StartForm();
        WhenOpen<BackupModeDialog>(std::move(fnAct),
                                   [](BackupModeDialog& d) { d.cmdCancel->click(); });
        BackupModeDialog objDialog;
        return objDialog.blnShowMe(*mForm->objManager(), "Daily", strDest);
    }
    savecore::BackupManager& Manager() { return *mForm->objManager(); }
    std::string Arg(const char* pszKey) { return Setting("BackupModeArgs", pszKey); }
};

TEST_F(BackupModeDialogTest, ChoicesAreSetOnTheManagerStoredAndOfferedNextTime) {
    EXPECT_FALSE(blnRun([](BackupModeDialog& d) {
        // First use: the defaults, the boxes they make pointless disabled.
        EXPECT_TRUE(d.optFilterAll->isChecked());
        EXPECT_EQ(d.txtNumberOfDays->text(), "90");
        EXPECT_EQ(d.txtClearArchiveDays->text(), "0");
        EXPECT_FALSE(d.txtNumberOfDays->isEnabled());
        EXPECT_FALSE(d.chkIncludeArchive->isEnabled());
        EXPECT_FALSE(d.txtClearArchiveDays->isEnabled());
        for (QCheckBox* box : {d.chkIncludeArchive, d.chkClearArchiveFlag, d.chkMakeDatedBackup})
            EXPECT_FALSE(box->isChecked());
        d.optFilterLastModDate->click();
        EXPECT_TRUE(d.txtNumberOfDays->isEnabled());
        EXPECT_TRUE(d.chkIncludeArchive->isEnabled());
        d.txtNumberOfDays->setText("  2.5 ");
        d.chkIncludeArchive->click();
        d.chkClearArchiveFlag->click();
        EXPECT_TRUE(d.txtClearArchiveDays->isEnabled());
        d.txtClearArchiveDays->setText("3.5");
        d.chkMakeDatedBackup->click();
        d.cmdOkay->click();
    }));
    EXPECT_TRUE(Manager().blnIncrementalMode());
    EXPECT_EQ(Manager().lngDaysSinceLastMod(), 2);  // halves go to the even neighbour
    EXPECT_TRUE(Manager().blnIncludeArchiveFlag());
    EXPECT_TRUE(Manager().blnClearArchiveFlag());
    EXPECT_EQ(Manager().lngClearArchiveFlagDays(), 4);
    EXPECT_TRUE(Manager().blnUseDateTimeSubFolder());
    EXPECT_EQ(Arg("Mode"), "Incremental");
    EXPECT_EQ(Arg("NumberOfDays"), "2.5");
    EXPECT_EQ(Arg("IncludeArchive"), "True");
    EXPECT_EQ(Arg("ClearArchiveDays"), "3.5");
    EXPECT_EQ(Arg("MakeDatedBackup"), "True");

    // The same choices come back for another type; Cancel starts the manager
    // from its defaults and stores nothing.
    EXPECT_TRUE(blnRun([](BackupModeDialog& d) {
        EXPECT_TRUE(d.optFilterLastModDate->isChecked());
        EXPECT_EQ(d.txtNumberOfDays->text(), "2.5");
        EXPECT_TRUE(d.chkIncludeArchive->isChecked());
        EXPECT_TRUE(d.chkClearArchiveFlag->isChecked());
        EXPECT_TRUE(d.txtClearArchiveDays->isEnabled());
        EXPECT_TRUE(d.chkMakeDatedBackup->isChecked());
        d.optFilterAll->click();
        d.cmdCancel->click();
    }));
    EXPECT_FALSE(Manager().blnIncrementalMode());
    EXPECT_FALSE(Manager().blnUseDateTimeSubFolder());
    EXPECT_EQ(Arg("Mode"), "Incremental");

    // "All" after "Incremental" keeps the stored number of days and archive choice.
    EXPECT_FALSE(blnRun([](BackupModeDialog& d) {
        d.optFilterAll->click();
        EXPECT_FALSE(d.txtNumberOfDays->isEnabled());
        d.txtNumberOfDays->setText("7");
        d.chkIncludeArchive->setChecked(false);
        d.chkClearArchiveFlag->click();
        d.chkMakeDatedBackup->click();
        d.cmdOkay->click();
    }));
    EXPECT_EQ(Arg("Mode"), "All");
    EXPECT_EQ(Arg("NumberOfDays"), "2.5");
    EXPECT_EQ(Arg("IncludeArchive"), "True");
    EXPECT_EQ(Arg("ClearArchive"), "False");
    EXPECT_EQ(Arg("MakeDatedBackup"), "False");
    EXPECT_FALSE(Manager().blnIncrementalMode());
    EXPECT_EQ(Manager().lngDaysSinceLastMod(), 0);
}

TEST_F(BackupModeDialogTest, EachWrongInputHasItsMessageInOrderAndNothingIsApplied) {
    mSettings->SaveSetting("BackupModeArgs", "Mode", "Sometimes");
    mSettings->SaveSetting("BackupModeArgs", "ClearArchiveDays", "soon");
    EXPECT_TRUE(blnRun([this](BackupModeDialog& d) {
        EXPECT_FALSE(d.optFilterAll->isChecked());
        EXPECT_FALSE(d.optFilterLastModDate->isChecked());
        // The clear-days box is checked first, even while it is disabled.
        EXPECT_FALSE(d.txtClearArchiveDays->isEnabled());
        d.cmdOkay->click();
        ASSERT_TRUE(d.isVisible());
        EXPECT_EQ(LastPrompt().strPrompt,
                  "Invalid number of days for \"Clear archive flag...\" option.");
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);

        // A day count below 0 would select, or clear, nothing sensible.
        d.txtClearArchiveDays->setText("-0.6");
        d.cmdOkay->click();
        EXPECT_EQ(LastPrompt().strPrompt,
                  "Invalid number of days for \"Clear archive flag...\" option.");

        d.txtClearArchiveDays->setText(" 5 ");
        d.cmdOkay->click();
        EXPECT_EQ(LastPrompt().strPrompt,
                  "You must choose an \"Additional Selection Criteria\" option.");

        d.optFilterLastModDate->click();
        for (const char* pszDays : {"  ", "-1"}) {
            d.txtNumberOfDays->setText(pszDays);
            d.cmdOkay->click();
            EXPECT_EQ(LastPrompt().strPrompt,
                      "Number of days is required for \"Only save files modified within...\" "
                      "option.");
        }
        EXPECT_EQ(mUi->Prompts().size(), 5u);
        EXPECT_TRUE(d.isVisible());
    }));
    EXPECT_EQ(Arg("Mode"), "Sometimes");
    EXPECT_EQ(Arg("ClearArchiveDays"), "soon");
    EXPECT_FALSE(Manager().blnIncrementalMode());
}

TEST(NumericText, SignFractionAndExponentAreNumbersAndRoundHalvesToEven) {
    using tarnwickbackup::blnIsNumeric;
    using tarnwickbackup::lngCLng;
    for (const char* psz : {"7", "-2", "+1.5", ".5", "5.", "3e2", "1E-1", "-0"})
        EXPECT_TRUE(blnIsNumeric(psz)) << psz;
    for (const char* psz : {"", " 7", "7 ", ".", "+", "e5", "1e", "1e+", "1,5", "0x10", "7d"})
        EXPECT_FALSE(blnIsNumeric(psz)) << psz;
    EXPECT_EQ(lngCLng("0.5"), 0);
    EXPECT_EQ(lngCLng("1.5"), 2);
    EXPECT_EQ(lngCLng("2.5"), 2);
    EXPECT_EQ(lngCLng("-2.5"), -2);
    EXPECT_EQ(lngCLng("2.51"), 3);
    EXPECT_EQ(lngCLng("3e2"), 300);
    EXPECT_EQ(lngCLng("1e-400"), 0);
    EXPECT_EQ(lngCLng("2147483647"), 2147483647);
    EXPECT_EQ(lngCLng("-2147483648"), -2147483647 - 1);
    for (const char* psz : {"2147483648", "1e10", "1e400"}) {
        try {
            lngCLng(psz);
            ADD_FAILURE() << psz;
        } catch (const platform::RtError& e) {
            EXPECT_EQ(e.Number(), 6) << psz;
        }
    }
}

}  // namespace
}  // namespace twtest
