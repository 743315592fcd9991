#include "EngineFixture.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;
namespace pfs = platform::fs;

namespace {
class DeleteType : public EngineFixture {};
}  // namespace

TEST_F(DeleteType, RemovesTheTypeFromEveryListedDriveOnly) {
    for (char ch : {'C', 'D', 'E'}) {
        Instructions(ch, "", {"IncludeFamily"});
        Instructions(ch, "Sub", {"ExcludeFamily"});
        Instructions(ch, "Sub", {"IncludeFamily"}, "Daily");
        Instructions(ch, "RECYCLED", {"IncludeFamily"});
        Instructions(ch, "Sub/RECYCLED", {"IncludeFamily"});
    }
    Instructions('C', "Hidden", {"IncludeFamily"});
    Start();  // E: is removable: not in the list
    mobjFileSys->GetFile("C:\\Hidden\\Weekly.BDF")->SetAttributes(pfs::vbHidden);
    fs::rename(Host('D'), mobjRoot / "D-away");  // D: not ready

    BackupManager::EventConnection c(mobjManager, mobjListener);
    EXPECT_FALSE(mobjManager.blnDeleteType("Weekly"));
    fs::rename(mobjRoot / "D-away", Host('D'));

    EXPECT_EQ(twtest::ReadTree(Host('C')).find("Sub/Weekly.BDF"), std::string::npos);
    EXPECT_FALSE(fs::exists(Host('C') / "Weekly.BDF"));
    EXPECT_FALSE(fs::exists(Host('C') / "Sub/RECYCLED/Weekly.BDF"));
    EXPECT_TRUE(fs::exists(Host('C') / "RECYCLED/Weekly.BDF"));  // not descended at depth 1
    EXPECT_TRUE(fs::exists(Host('C') / "Sub/Daily.BDF"));
    EXPECT_TRUE(fs::exists(Host('C') / "Hidden/Weekly.BDF"));
    EXPECT_TRUE(fs::exists(Host('D') / "Weekly.BDF"));
    EXPECT_TRUE(fs::exists(Host('E') / "Weekly.BDF"));
    EXPECT_EQ(mobjListener.maLog.front(), "Start 2");
    EXPECT_EQ(mobjListener.maLog.back(), "End");
    EXPECT_EQ(mobjManager.strSetName(), "Weekly");
}

TEST_F(DeleteType, ReadOnlyInstructionFileEndsWithTheErrorReport) {
    Instructions('C', "", {"IncludeFamily"});
    Instructions('C', "A", {"IncludeFamily"});
    Start();
    mobjFileSys->GetFile("C:\\A\\Weekly.BDF")->SetAttributes(pfs::vbReadOnly);
    BackupManager::EventConnection c(mobjManager, mobjListener);
    EXPECT_THROW(mobjManager.blnDeleteType("Weekly"), platform::RtError);
    EXPECT_EQ(mobjHandler->strErrorDesc(), "Permission denied");
    EXPECT_EQ(mobjHandler->astrRoutines().front(), "SaveCore30.DriveProcessor.blnDelTypeFolder");
    EXPECT_EQ(mobjHandler->astrRoutines().back(), "SaveCore30.BackupManager.blnDeleteType");
    EXPECT_EQ(mobjListener.Count("End"), 1);
    EXPECT_TRUE(fs::exists(Host('C') / "Weekly.BDF"));  // the root comes after its subfolders
}

TEST_F(DeleteType, StopLeavesTheFoldersNotYetVisited) {
    Instructions('C', "", {"IncludeFamily"});
    Instructions('D', "", {"IncludeFamily"});
    Start();
    mobjListener.mblnStopNow = true;
    BackupManager::EventConnection c(mobjManager, mobjListener);
    EXPECT_TRUE(mobjManager.blnDeleteType("Weekly"));
    EXPECT_TRUE(fs::exists(Host('C') / "Weekly.BDF"));
    EXPECT_TRUE(fs::exists(Host('D') / "Weekly.BDF"));
}
