#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "MainFormFixture.h"
#include "ModalDriver.h"
#include "tarnwickbackup/BackupModeDialog.h"
#include "tarnwickbackup/DriveProgress.h"
#include "tarnwickbackup/WaitForDrive.h"

namespace twtest {
namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using tarnwickbackup::BackupModeDialog;
using tarnwickbackup::WaitForDrive;

// Swaps the medium of E: when the engine says the disc is full; connected
// before the main window, so it runs before the window's own handler.
class DiscChanger : public savecore::BackupManagerEvents {
  public:
    explicit DiscChanger(fs::path host) : mHost(std::move(host)) {}
    void OutOfSpace(bool&) override {
        ++mlngFull;
        if (!mblnSwap) return;
        fs::rename(mHost, mHost.string() + "-full" + std::to_string(mlngFull));
        if (mblnInsertAtOnce) fs::create_directories(mHost);
    }
    fs::path mHost;
    int mlngFull = 0;
    bool mblnInsertAtOnce = false;
    bool mblnSwap = true;
};

class MainFormBackupTest : public AppFixture {
  protected:
    // Two files of 100,000 bytes in C: and the type Daily taking them all.
    void TwoFiles() {
        WriteFile(mTmp / "c" / "Daily.BDF", ";Backup type definition file\r\nIncludeFamily\r\n");
        WriteFile(mTmp / "c" / "Data" / "1.bin", std::string(100000, '1'));
        WriteFile(mTmp / "c" / "Data" / "2.bin", std::string(100000, '2'));
    }
    tarnwickbackup::MainForm& StartOnE() {
        auto& form = StartForm();
        form.cboBackup->setCurrentIndex(form.cboBackup->findText("Daily"));
        form.cboDest->setCurrentIndex(form.cboDest->findText("e:\\"));
        return form;
    }
    // "Make Backup" with the options as stored, answering OK to the
    // confirmations.
    void MakeBackup(bool blnDated = false, std::vector<int32_t> alngLater = {}) {
        WhenOpen<BackupModeDialog>([blnDated](BackupModeDialog& d) {
            d.chkMakeDatedBackup->setChecked(blnDated);
            d.cmdOkay->click();
        });
        if (!blnDated) mUi->QueueMsgBoxAnswer(ui::vbOK);
        mUi->QueueMsgBoxAnswer(ui::vbOK);
        for (int32_t lngAnswer : alngLater) mUi->QueueMsgBoxAnswer(lngAnswer);
        mForm->cmdBackup->click();
    }
    // The media (E: and those taken out) that hold the backup of a file of
    // C:\Data, each followed by a blank; the contents are checked too.
    std::string Media(const std::string& strName) const {
        std::string strMedia;
        for (const char* pszMedium : {"e-full1", "e"}) {
            const fs::path file = mTmp / pszMedium / "C$" / "Data" / strName;
            if (!fs::exists(file)) continue;
            strMedia += std::string(pszMedium) + " ";
            EXPECT_EQ(ReadFile(file), ReadFile(mTmp / "c" / "Data" / strName)) << file;
        }
        return strMedia;
    }
    void ExpectOneFilePerDisc() const {
        const std::string strFirst = Media("1.bin"), strSecond = Media("2.bin");
        EXPECT_TRUE((strFirst == "e-full1 " && strSecond == "e ") ||
                    (strFirst == "e " && strSecond == "e-full1 "))
            << strFirst << "/" << strSecond;
    }
    // The wait's clock: a second passes at every tick of the wait window.
    void FakeWaitClock(std::function<void(int)> fnAtTick = {}) {
        mForm->SetWaitClock([this] { return mdatNow; }, 1);
        mUi->OnDoEvents([this, fnAtTick] {
            auto* wait = qobject_cast<WaitForDrive*>(QApplication::activeModalWidget());
            if (!wait) return;
            EXPECT_EQ(wait->windowTitle(), "Waiting For Drive...");
            mdatNow += std::chrono::seconds(1);
            ++mlngTicks;
            if (fnAtTick) fnAtTick(mlngTicks);
        });
    }

    std::chrono::system_clock::time_point mdatNow = std::chrono::system_clock::now();
    int mlngTicks = 0;
};

TEST_F(MainFormBackupTest, EraseIsConfirmedOnlyWithoutTheDatedSubfolder) {
    TwoFiles();
    auto& form = StartOnE();
    MakeBackup(false);
    ASSERT_GE(mUi->Prompts().size(), 3u);
    EXPECT_EQ(mUi->Prompts()[0].strTitle, "Confirm Erase");
    EXPECT_EQ(mUi->Prompts()[0].strPrompt,
              "Making this backup will erase all files and folders currently at the backup "
              "destination, \"e:\\\". Do you really wish to make this backup?");
    EXPECT_EQ(mUi->Prompts()[0].lngStyle, ui::vbQuestion + ui::vbOKCancel + ui::vbDefaultButton2);
    EXPECT_EQ(mUi->Prompts()[1].strTitle, "Confirm");
    EXPECT_EQ(mUi->Prompts()[1].strPrompt, "Are you sure you want to make backup type \"Daily\"?");
    EXPECT_EQ(mUi->Prompts()[1].lngStyle, ui::vbQuestion + ui::vbOKCancel);
    EXPECT_EQ(ReadFile(mTmp / "e" / "C$" / "Data" / "2.bin"), std::string(100000, '2'));
    EXPECT_EQ(LastPrompt().strPrompt.rfind("200,", 0), 0u) << LastPrompt().strPrompt;
    EXPECT_TRUE(LastPrompt().strPrompt.ends_with(" bytes, or 0.00 CD-RW discs, used."));
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbOKOnly);
    EXPECT_TRUE(form.cmdBackup->isEnabled());
    EXPECT_FALSE(form.blnEventsConnected());

    mUi->ClearPrompts();
    MakeBackup(true);
    ASSERT_GE(mUi->Prompts().size(), 1u);
    EXPECT_EQ(mUi->Prompts()[0].strTitle, "Confirm");

    // Cancel in "Confirm Erase" ends everything; so does Cancel in the
    // options dialog, before any question.
    mUi->ClearPrompts();
    fs::remove_all(mTmp / "e" / "C$");
    WhenOpen<BackupModeDialog>([](BackupModeDialog& d) {
        d.chkMakeDatedBackup->setChecked(false);
        d.cmdOkay->click();
    });
    mUi->QueueMsgBoxAnswer(ui::vbCancel);
    form.cmdBackup->click();
    EXPECT_EQ(mUi->Prompts().size(), 1u);
    WhenOpen<BackupModeDialog>([](BackupModeDialog& d) { d.cmdCancel->click(); });
    form.cmdBackup->click();
    EXPECT_EQ(mUi->Prompts().size(), 1u);
    EXPECT_FALSE(fs::exists(mTmp / "e" / "C$"));
}

TEST_F(MainFormBackupTest, StopWhileCountingTouchesNothingAndWhileCopyingReportsTheSpaceUsed) {
    TwoFiles();
    WriteFile(mTmp / "e" / "old.txt", "previous backup");
    auto& form = StartOnE();
    mUi->OnDoEvents([&] {
        auto* progress = form.objProgressWindow();
        if (progress && progress->lblCounting->isVisible()) progress->cmdStop->click();
    });
    MakeBackup();
    auto aPrompts = PromptTexts();
    ASSERT_EQ(aPrompts.size(), 3u) << aPrompts.back();
    EXPECT_EQ(aPrompts[2], "Backup stopped.");
    EXPECT_EQ(ReadFile(mTmp / "e" / "old.txt"), "previous backup");
    EXPECT_FALSE(fs::exists(mTmp / "e" / "C$"));
    EXPECT_EQ(form.objProgressWindow(), nullptr);
    EXPECT_TRUE(form.cmdBackup->isEnabled());

    mUi->ClearPrompts();
    std::vector<std::string> astrFiles;
    mUi->OnDoEvents([&] {
        auto* progress = form.objProgressWindow();
        if (!progress || progress->txtFile->text().isEmpty() || progress->lblCounting->isVisible())
            return;
        EXPECT_EQ(progress->windowTitle(), "Backing Up");
        EXPECT_FALSE(form.cmdBackup->isEnabled());
        astrFiles.push_back(progress->txtFile->text().toStdString());
        progress->cmdStop->click();
    });
    MakeBackup();
    EXPECT_FALSE(astrFiles.empty());
    aPrompts = PromptTexts();
    ASSERT_EQ(aPrompts.size(), 4u) << aPrompts.back();
    EXPECT_EQ(aPrompts[2], "Backup stopped.");
    EXPECT_EQ(mUi->Prompts()[2].lngStyle, ui::vbExclamation + ui::vbOKOnly);
    EXPECT_NE(aPrompts[3].find(" used."), std::string::npos);
    EXPECT_EQ(form.objProgressWindow(), nullptr);
    EXPECT_TRUE(form.cmdBackup->isEnabled());
    EXPECT_NE(Media("1.bin") + Media("2.bin"), "e e ");
}

TEST_F(MainFormBackupTest, TheCountGivesTheTotalThatTheCopiedCountsMoveTowardsAndSkipEndsIt) {
    TwoFiles();  // with Daily.BDF (45 bytes): 3 files, 200,045 bytes
    auto& form = StartOnE();
    std::vector<std::string> astrCounted, astrCopied;
    std::vector<int> alngBar;
    mUi->OnDoEvents([&] {
        auto* progress = form.objProgressWindow();
        if (!progress) return;
        if (progress->lblCounting->isVisible()) {
            astrCounted.push_back(progress->lblCounting->text().toStdString());
        } else if (progress->lblCopied->isVisible()) {
            EXPECT_TRUE(progress->barProgress->isVisible());
            astrCopied.push_back(progress->lblCopied->text().toStdString());
            alngBar.push_back(progress->barProgress->value());
        }
    });
    MakeBackup();
    ASSERT_FALSE(astrCounted.empty());
    for (const auto& strText : astrCounted)
        EXPECT_EQ(strText.rfind("counting...", 0), 0u) << strText;
    ASSERT_FALSE(astrCopied.empty());
    EXPECT_EQ(astrCopied.front(), "Copied: 0 files, 0 bytes of 3 files, 200,045 bytes");
    for (const auto& strText : astrCopied)
        EXPECT_TRUE(strText.ends_with(" of 3 files, 200,045 bytes")) << strText;
    // Whatever the order of the walk, one 100,000-byte file is copied
    // before the last file is announced: half the bar at least.
    EXPECT_TRUE(std::is_sorted(alngBar.begin(), alngBar.end()));
    EXPECT_GE(alngBar.back(), 500);
    EXPECT_LE(alngBar.back(), 1000);
    EXPECT_EQ(ReadFile(mTmp / "e" / "C$" / "Data" / "2.bin"), std::string(100000, '2'));

    // Skip ends only the count: the copy goes on, without a bar.
    fs::remove_all(mTmp / "e" / "C$");
    bool blnBarSeen = false, blnCopiedSeen = false;
    mUi->OnDoEvents([&] {
        auto* progress = form.objProgressWindow();
        if (!progress) return;
        if (progress->lblCounting->isVisible()) progress->cmdSkip->click();
        blnBarSeen = blnBarSeen || progress->barProgress->isVisible();
        blnCopiedSeen = blnCopiedSeen || progress->lblCopied->isVisible();
    });
    MakeBackup();
    EXPECT_TRUE(blnCopiedSeen);
    EXPECT_FALSE(blnBarSeen);
    EXPECT_EQ(ReadFile(mTmp / "e" / "C$" / "Data" / "2.bin"), std::string(100000, '2'));
    EXPECT_NE(LastPrompt().strPrompt.find(" used."), std::string::npos);
}

// E: holds 150,000 bytes: one of the two files.
class SmallDiscTest : public MainFormBackupTest {
  protected:
    SmallDiscTest() { mCapacityE = 150000; }
    void SetUp() override {
        MainFormBackupTest::SetUp();
        TwoFiles();
        StartOnE();
    }
    // A backup that fills E: and meets objChanger there; lngAnswer to the
    // box that asks for another disc.
    void FillTheDisc(DiscChanger& objChanger, int32_t lngAnswer,
                     std::function<void(int)> fnAtTick = {}) {
        savecore::BackupManager::EventConnection objConnection(*mForm->objManager(), objChanger);
        FakeWaitClock(std::move(fnAtTick));
        MakeBackup(false, {lngAnswer});
        ASSERT_GE(mUi->Prompts().size(), 3u);
        const auto& box = mUi->Prompts()[2];
        EXPECT_EQ(box.strPrompt,
                  "The backup disc is full.\r\n\r\nPlease wait for Windows to finish writing "
                  "data to the disc (you should be able to tell from the lights on the drive), "
                  "then remove the disc.\r\n\r\nThen insert another disc (formatted, but not "
                  "necessarily empty), and click \"OK\" after Windows has finished loading it "
                  "(wait for the lights again, or a popup message).\r\n\r\nClick \"Cancel\" "
                  "to stop the backup.");
        EXPECT_EQ(box.lngStyle & (ui::kButtonsMask | ui::kIconMask),
                  ui::vbInformation + ui::vbOKCancel);
    }
};

TEST_F(SmallDiscTest, FullDiscGoesOnOnTheNewMediumOnceTheDriveIsReady) {
    DiscChanger objChanger(mTmp / "e");
    FillTheDisc(objChanger, ui::vbOK, [this](int lngTick) {
        if (lngTick == 3) fs::create_directories(mTmp / "e");
    });
    EXPECT_EQ(objChanger.mlngFull, 1);
    EXPECT_EQ(mlngTicks, 3);
    EXPECT_EQ(CountPrompts("Backup stopped."), 0);
    ExpectOneFilePerDisc();  // whole
}

TEST_F(SmallDiscTest, ReadyNewDiscNeedsNoWaitAndCancelStops) {
    DiscChanger objChanger(mTmp / "e");
    objChanger.mblnInsertAtOnce = true;
    FillTheDisc(objChanger, ui::vbOK);
    EXPECT_EQ(mlngTicks, 0);
    EXPECT_EQ(CountPrompts("Backup stopped."), 0);
    ExpectOneFilePerDisc();

    mUi->ClearPrompts();
    objChanger.mblnSwap = false;
    FillTheDisc(objChanger, ui::vbCancel);
    EXPECT_EQ(mlngTicks, 0);
    EXPECT_EQ(CountPrompts("Backup stopped."), 1);
    EXPECT_EQ(fs::exists(mTmp / "e" / "C$" / "Data" / "1.bin") +
                  fs::exists(mTmp / "e" / "C$" / "Data" / "2.bin"),
              1);
}

TEST_F(SmallDiscTest, NoNewDiscWithinTheMinuteStopsTheRun) {
    DiscChanger objChanger(mTmp / "e");
    FillTheDisc(objChanger, ui::vbOK);
    // Asked once a second; it gives up only once the minute is over.
    EXPECT_EQ(mlngTicks, 61);
    const auto aPrompts = PromptTexts();
    ASSERT_EQ(aPrompts.size(), 5u);
    EXPECT_EQ(aPrompts[3], "Backup stopped.");
    EXPECT_NE(aPrompts[4].find(" used."), std::string::npos);
    EXPECT_EQ(mForm->objProgressWindow(), nullptr);
    EXPECT_TRUE(mForm->cmdBackup->isEnabled());
}

class WriteProtectedTest : public MainFormBackupTest {
  protected:
    WriteProtectedTest() { mblnReadOnlyE = true; }
};

TEST_F(WriteProtectedTest, ABackupThatWroteNothingExplainsBeforeTheErrorLog) {
    TwoFiles();
    StartOnE();
    CerrCapture objCerr;
    MakeBackup();
    const auto aPrompts = PromptTexts();
    ASSERT_EQ(aPrompts.size(), 4u);
    EXPECT_EQ(aPrompts[2].rfind("Vantrel was completely unable write to the "
                                "backup destination, \"e:\\\". A detailed error listing will "
                                "follow, in case this helps solve the problem.\r\n\r\nIf you "
                                "are using a CD-RW drive,",
                                0),
              0u)
        << aPrompts[2];
    EXPECT_EQ(mUi->Prompts()[2].lngStyle, ui::vbCritical + ui::vbOKOnly);
    EXPECT_EQ(objCerr.str().rfind("[Error Log] A total of ", 0), 0u) << objCerr.str();
    EXPECT_NE(aPrompts[3].find(" used."), std::string::npos);
}

TEST_F(MainFormBackupTest, AnEngineLogAfterSomeWritesShowsOnlyTheErrorLog) {
    TwoFiles();
    auto& form = StartOnE();
    // 2.bin goes away between the listing and its copy.
    mUi->OnDoEvents([&] {
        auto* progress = form.objProgressWindow();
        if (progress && !progress->lblCounting->isVisible() &&
            progress->txtFile->text().endsWith("2.bin"))
            fs::remove(mTmp / "c" / "Data" / "2.bin");
    });
    CerrCapture objCerr;
    MakeBackup();
    const auto aPrompts = PromptTexts();
    ASSERT_EQ(aPrompts.size(), 3u) << aPrompts.back();
    EXPECT_NE(aPrompts[2].find(" used."), std::string::npos);
    EXPECT_NE(objCerr.str().find("[Error Log] A total of 1 errors were encountered"),
              std::string::npos)
        << objCerr.str();
    EXPECT_NE(objCerr.str().find("2.bin"), std::string::npos);

    // A run without failures shows no log at all.
    mUi->ClearPrompts();
    mUi->OnDoEvents({});
    CerrCapture objQuiet;
    MakeBackup();
    EXPECT_EQ(objQuiet.str(), "");
    EXPECT_EQ(mUi->Prompts().size(), 3u);
}

}  // namespace
}  // namespace twtest
