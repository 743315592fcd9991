// Restores that meet bad input: a target that refuses writes or fills up, a
// backed-up folder that cannot be read, names that differ only in case. The
// backup lies on D:, the targets on C: and E:.
#include <sys/stat.h>

#include "EngineFailure.h"
#include "EngineFixture.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;

namespace {

const std::string kRoutine = "SaveCore30.BackupManager.";
const std::string kBackup = "D:\\Backup\\C$";

class RestoreSafety : public EngineFixture {
  protected:
    RestoreSafety() { chmod(mobjRoot.path().c_str(), 0755); }

    bool blnRestore(const std::string& strDst, bool blnReplace) {
        mobjManager.blnRestoreReplace(blnReplace);
        return mobjManager.blnRestoreFolder(kBackup, strDst, true);
    }
    // The failure's description and routines, joined with "|".
    std::string strFailure(const std::function<void()>& fn) {
        const EngineFailure f = objFailureOf(*mobjHandler, fn);
        std::string s = f.strDesc;
        for (const auto& strRoutine : f.astrRoutines) s += "|" + strRoutine;
        return s;
    }
};

// Without replacing, a name that differs only in case leaves the file there
// alone. With it, such a file is replaced under its own name, while twins
// of the backup (a folder that held a.txt and A.txt) both come back, and a
// dangling link in the way is replaced itself, not written through.
TEST_F(RestoreSafety, NamesThatDifferOnlyInCase) {
    twtest::BuildTree(Host('D') / "Backup/C$", "a.txt=lower\nA.txt=upper\nnote.txt=new\nd.txt=d\n");
    twtest::BuildTree(Host('C'), "Off/NOTE.TXT=old\nOn/NOTE.TXT=old\n");
    fs::create_symlink(mobjRoot / "outside.txt", Host('C') / "On/d.txt");
    Start();
    EXPECT_FALSE(blnRestore("C:\\Off", false));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "Off"),
              "A.txt=upper\nNOTE.TXT=old\na.txt=lower\nd.txt=d\nnote.txt=new\n");
    EXPECT_FALSE(blnRestore("C:\\On", true));
    EXPECT_EQ(twtest::ReadTree(Host('C') / "On"),
              "A.txt=upper\nNOTE.TXT=new\na.txt=lower\nd.txt=d\n");
    EXPECT_FALSE(fs::is_symlink(Host('C') / "On/d.txt"));
    EXPECT_FALSE(fs::exists(mobjRoot / "outside.txt"));
}

}  // namespace
