#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/fs/RtError.h"
#include "tarnwickbackup/SettingsStore.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace twtest {
namespace {

using tarnwickbackup::SettingList;
using tarnwickbackup::SettingsStore;

class SettingsStoreTest : public ::testing::Test {
  protected:
    TempDir mTmp;
    std::filesystem::path mFile = mTmp / "cfg" / "TarnwickBackup" / "settings.ini";
    SettingsStore mStore{mFile};
};

TEST_F(SettingsStoreTest, AwkwardValuesAndNamesComeBackExactly) {
    const std::string strOdd = " lead and trail \t";
    const std::string strLines = "one\r\ntwo\nthree \"quoted\" \\ \x01";
    mStore.SaveSetting("Destinations", "Dest0", "e:\\backups\\daily\\");
    mStore.SaveSetting("Destinations", "Dest2", "");
    mStore.SaveSetting("AlwaysShow", "a=b [c]", strOdd);
    mStore.SaveSetting("AlwaysShow", ";x", strLines);
    mStore.SaveSetting("AlwaysShow", "\"q", "\"starts with a quote");

    SettingsStore objAgain(mFile);
    EXPECT_EQ(objAgain.GetAllSettings("Destinations"),
              (SettingList{{"Dest0", "e:\\backups\\daily\\"}, {"Dest2", ""}}));
    EXPECT_EQ(objAgain.GetSetting("AlwaysShow", "a=b [c]", "?"), strOdd);
    EXPECT_EQ(objAgain.GetSetting("AlwaysShow", ";x", "?"), strLines);
    EXPECT_EQ(objAgain.GetSetting("AlwaysShow", "\"q", "?"), "\"starts with a quote");
    // Plain values stay readable for a person.
    EXPECT_NE(ReadFile(mFile).find("[Destinations]\nDest0=e:\\backups\\daily\\\n"),
              std::string::npos);
}

TEST_F(SettingsStoreTest, AbsentValuesMakeNoFileAndNamesIgnoreLetterCaseAndKeepTheirOrder) {
    EXPECT_EQ(mStore.GetSetting("AlwaysShow", "SpaceNote", "1"), "1");
    EXPECT_TRUE(mStore.GetAllSettings("Destinations").empty());
    mStore.DeleteSection("Destinations");
    mStore.DeleteSetting("General", "CurrentDestination");
    EXPECT_FALSE(std::filesystem::exists(mFile));

    mStore.SaveSetting("Destinations", "Dest1", "f:\\");
    mStore.SaveSetting("Destinations", "Dest0", "e:\\");
    mStore.SaveSetting("destinations", "DEST1", "g:\\");
    EXPECT_EQ(mStore.GetAllSettings("DESTINATIONS"),
              (SettingList{{"Dest1", "g:\\"}, {"Dest0", "e:\\"}}));
    mStore.DeleteSetting("DESTINATIONS", "dest1");
    EXPECT_EQ(mStore.GetAllSettings("Destinations"), (SettingList{{"Dest0", "e:\\"}}));
    mStore.SaveSetting("General", "CurrentDestination", "e:\\");
    mStore.DeleteSection("Destinations");
    EXPECT_TRUE(mStore.GetAllSettings("Destinations").empty());
    EXPECT_EQ(mStore.GetSetting("General", "CurrentDestination", ""), "e:\\");
}

TEST_F(SettingsStoreTest, HandEditedFileIsReadAsFarAsItMakesSense) {
    std::filesystem::create_directories(mFile.parent_path());
    WriteFile(mFile,
              "orphan=before any section\n"
              "[Destinations]\r\n"
              "  Dest0 = e:\\  \n"
              "no equals sign here\n"
              "# a comment\n"
              "[General]\n"
              "CurrentDestination=e:\\\n"
              "[Destinations]\n"
              "Dest1=\"f:\\\\data\\\\\"\n"
              "Dest2=\"unclosed\n");
    EXPECT_EQ(mStore.GetAllSettings("Destinations"),
              (SettingList{{"Dest0", "e:\\"}, {"Dest1", "f:\\data\\"}, {"Dest2", "\"unclosed"}}));
    EXPECT_EQ(mStore.GetSetting("General", "CurrentDestination", ""), "e:\\");
}

TEST_F(SettingsStoreTest, FailedWriteLeavesTheOldFileAndNoLeftovers) {
    mStore.SaveSetting("General", "CurrentDestination", "e:\\");
    const std::string strBefore = ReadFile(mFile);
    // The temporary file cannot be made: a folder has its name.
    const auto temp = mFile.string() + ".tmp-" + std::to_string(getpid());
    std::filesystem::create_directory(temp);
    EXPECT_THROW(mStore.SaveSetting("General", "CurrentDestination", "f:\\"), platform::RtError);
    EXPECT_EQ(ReadFile(mFile), strBefore);
    std::filesystem::remove(temp);

    mStore.SaveSetting("General", "CurrentDestination", "f:\\");
    for (const auto& entry : std::filesystem::directory_iterator(mFile.parent_path()))
        EXPECT_TRUE(entry.path() == mFile || entry.path().extension() == ".lock") << entry.path();
}

}  // namespace
}  // namespace twtest
