// A main window over temporary drives and a temporary settings file, with
// scripted message and input boxes. Drives: A: diskette (removable), C:
// fixed, E: removable, F: CD-ROM (not ready), G: CD-ROM, N: network.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/ui/ScriptedUi.h"
#include "tarnwickbackup/Globals.h"
#include "tarnwickbackup/MainForm.h"
#include "tarnwickbackup/SettingsStore.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace twtest {

inline void EnsureApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char achName[] = "tarnwickbackup_tests";
    static char* argv[] = {achName, nullptr};
    static QApplication* pApp = new QApplication(argc, argv);
    (void)pApp;
}

// What the program writes to std::cerr while it lives (the text window
// without a display).
class CerrCapture {
  public:
    CerrCapture() : mpOld(std::cerr.rdbuf(mText.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(mpOld); }
    std::string str() const { return mText.str(); }

  private:
    std::ostringstream mText;
    std::streambuf* mpOld;
};

// The item at strPath ("A\\B", "" for the top item) of a folder tree, or null.
inline QTreeWidgetItem* TreeNode(QTreeWidget& tree, const QString& strPath) {
    QTreeWidgetItem* node = tree.topLevelItem(0);
    for (const QString& strName : strPath.split('\\', Qt::SkipEmptyParts)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; node && i < node->childCount(); ++i)
            if (node->child(i)->text(0) == strName) next = node->child(i);
        node = next;
    }
    return node;
}

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        for (const char* name : {"a", "c", "e", "g", "n", "prog"})
            std::filesystem::create_directories(mTmp / name);
        std::filesystem::copy_file(TW_HELP_SOURCE, mTmp / "prog" / "TarnwickBackup.hlp");
        platform::fs::DriveTable table;
        table.drives.push_back({'A', mTmp / "a", 1, "", "", std::nullopt, false});
        table.drives.push_back({'C', mTmp / "c", 2, "", "", std::nullopt, false});
        table.drives.push_back({'E', mTmp / "e", 1, "", "", mCapacityE, mblnReadOnlyE});
        table.drives.push_back({'F', mTmp / "f", 4, "", "", std::nullopt, false});
        table.drives.push_back({'G', mTmp / "g", 4, "", "", std::nullopt, false});
        table.drives.push_back({'N', mTmp / "n", 3, "", "\\\\nas\\share", std::nullopt, false});
        mFs = platform::fs::FileSystem::Create(table);
        mOldFs = platform::fs::InstallProcessFileSystem(mFs);
        mUi = std::make_shared<platform::ui::ScriptedUi>();
        mOldUi = platform::ui::InstallUi(mUi);
        mSettings = std::make_shared<tarnwickbackup::SettingsStore>(mTmp / "cfg" / "settings.ini");
        mOldSettings = tarnwickbackup::InstallSettings(mSettings);
        auto& app = tarnwickbackup::App();
        mOldApp = app;
        app.Path = mFs->AppPathOf(mTmp / "prog");
        app.Major = 3;
        app.Minor = 0;
        app.Revision = 7;
        app.strCommandLine.clear();
        app.blnHeadless = true;
    }

    void TearDown() override {
        mForm.reset();
        tarnwickbackup::App() = mOldApp;
        tarnwickbackup::InstallSettings(mOldSettings);
        platform::ui::InstallUi(mOldUi);
        platform::fs::InstallProcessFileSystem(mOldFs);
    }

    // Program start and first activation, as the program runs them.
    tarnwickbackup::MainForm& StartForm(const std::string& strCommandLine = "") {
        tarnwickbackup::App().strCommandLine = strCommandLine;
        mForm = std::make_unique<tarnwickbackup::MainForm>(mFs);
        mForm->Form_Load();
        mForm->Form_Activate();
        return *mForm;
    }

    const platform::ui::RecordedPrompt& LastPrompt() const {
        EXPECT_FALSE(mUi->Prompts().empty());
        return mUi->Prompts().back();
    }

    std::vector<std::string> PromptTexts() const {
        std::vector<std::string> out;
        for (const auto& p : mUi->Prompts()) out.push_back(p.strPrompt);
        return out;
    }

    int CountPrompts(const std::string& strStart) const {
        int n = 0;
        for (const auto& p : mUi->Prompts()) n += p.strPrompt.rfind(strStart, 0) == 0;
        return n;
    }

    std::string Setting(const std::string& strSection, const std::string& strKey) const {
        return mSettings->GetSetting(strSection, strKey, "<absent>");
    }

    TempDir mTmp;
    // The medium in E:, set before SetUp: its simulated size, write-protected.
    std::optional<uint64_t> mCapacityE;
    bool mblnReadOnlyE = false;
    std::shared_ptr<platform::fs::FileSystem> mFs;
    std::shared_ptr<platform::fs::FileSystem> mOldFs;
    std::shared_ptr<platform::ui::ScriptedUi> mUi;
    std::shared_ptr<platform::ui::UiServices> mOldUi;
    std::shared_ptr<tarnwickbackup::SettingsStore> mSettings;
    std::shared_ptr<tarnwickbackup::SettingsStore> mOldSettings;
    tarnwickbackup::AppObject mOldApp;
    std::unique_ptr<tarnwickbackup::MainForm> mForm;
};

// With the error handler a program start makes, for windows whose failures
// end in its report.
class WindowFixture : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        mHandler = std::make_shared<tarnwick::ErrorHandler>();
        mHandler->Init(tarnwick::AppObject{tarnwickbackup::App().Path});
        tarnwick::SharedData().objErrorHandler(mHandler);
    }
    std::shared_ptr<tarnwick::ErrorHandler> mHandler;
};

}  // namespace twtest
