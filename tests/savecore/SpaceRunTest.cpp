// The space-only walk reads each folder once: instructions, subfolders and
// files all come from that one reading.
#include <sys/stat.h>

#include <algorithm>
#include <iostream>

#include "EngineFixture.h"
#include "tests/support/AsNobody.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;

namespace {

class SpaceRun : public EngineFixture {
  protected:
    static long OpenDescriptors() {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    }
};

const std::string kHeader = ";Backup type definition file\r\n";

}  // namespace

// Skip has no subfolders (read once, kept open until its files), Tmp has one.
TEST_F(SpaceRun, InstructionsInAnyLetterCaseLinksAndNothingLeftOpen) {
    twtest::BuildTree(Host('C'),
                      "Docs/a.txt=aaaa\nDocs/Deep/b.txt=bbbbbbb\nSkip/s.txt=s\n"
                      "Tmp/t.txt=t\nTmp/Sub/u.txt=u\n");
    twtest::BuildTree(mobjRoot / "out", "target.txt=123456789\nbig/x.txt=xxxxxxxxxxxx\n");
    Instructions('C', "", {"IncludeFamily"});
    twtest::WriteFile(Host('C') / "Skip/WEEKLY.bdf", kHeader + "SkipFamily\r\n");
    twtest::WriteFile(Host('C') / "Tmp/weekly.bdf", kHeader + "ExcludeFamily\r\n");
    fs::create_symlink(mobjRoot / "out/target.txt", Host('C') / "Docs/link.txt");
    fs::create_directory_symlink(mobjRoot / "out/big", Host('C') / "Docs/dirlink");
    ASSERT_EQ(mkfifo((Host('C') / "Docs/pipe").c_str(), 0644), 0);
    Start();
    const long lngOpen = OpenDescriptors();
    EXPECT_FALSE(blnBackup("", true));
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(DefFolders(true), "C:\\|C:\\Skip|C:\\Tmp|");
    // The file link counts as its target; the folder link is not followed.
    EXPECT_EQ(mobjManager.dblSpaceUsed(),
              static_cast<double>(fs::file_size(Host('C') / "Weekly.BDF") + 4 + 7 + 9));
    EXPECT_EQ(OpenDescriptors(), lngOpen);
}

// Search permission without read: the folder cannot be listed, yet its
// instruction file opens by its exact name.
TEST_F(SpaceRun, AFolderThatCannotBeListedStillGivesItsInstructions) {
    chmod(mobjRoot.path().c_str(), 0755);
    twtest::BuildTree(Host('C'), "top.txt=abc\nLocked/l.txt\nLocked/Sub/s.txt\n");
    Instructions('C', "", {"IncludeFamily"});
    Instructions('C', "Locked", {"IncludeFamily"});
    ASSERT_EQ(chmod((Host('C') / "Locked").c_str(), 0311), 0);
    Start();
    const double dblWanted = static_cast<double>(fs::file_size(Host('C') / "Weekly.BDF") + 3);
    EXPECT_EQ(twtest::RunAsNobody([&] {
                  const bool blnOk = !blnBackup("", true) &&
                                     DefFolders(true) == "C:\\|C:\\Locked|" &&
                                     mobjManager.dblSpaceUsed() == dblWanted &&
                                     blnLogHas(
                                         "to determine the subfolders of folder \"C:\\Locked\": "
                                         "\"Permission denied\"") &&
                                     blnLogHas(
                                         "to determine the files in folder \"C:\\Locked\": "
                                         "\"Permission denied\"");
                  if (!blnOk) std::cerr << "as nobody: " << DefFolders(true) << ErrorLog() << "\n";
                  return blnOk ? 0 : 1;
              }),
              0);
}
