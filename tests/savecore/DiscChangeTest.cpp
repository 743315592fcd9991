// A full destination disc that the user empties or replaces before answering
// OK: the run, and every later one, must see the medium as it now is. E: is
// a real small file system (a tmpfs the test mounts) or a simulated medium.
#include "EngineFixture.h"
#include "tests/support/TmpfsMounts.h"

using namespace savecore;
using namespace savecore::test;
namespace fs = std::filesystem;

namespace {

enum Change { EmptiedInPlace, FolderReplaced, Remounted, SimulatedEmptiedInPlace };
constexpr uint64_t kMediumBytes = 160 * 1024;

void EmptyFolder(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder)) fs::remove_all(e.path());
}

class DiscChange : public EngineFixture, public ::testing::WithParamInterface<Change> {
  protected:
    // The user's change of the full medium; what it held is kept in Old().
    void ChangeMedium() {
        if (GetParam() == FolderReplaced) {
            fs::create_directory(Old());
            ASSERT_TRUE(mMounts.blnMove(Host('E'), Old())) << mMounts.strWhyNot();
            fs::remove_all(Host('E'));
            fs::create_directory(Host('E'));
        } else {
            fs::copy(Host('E'), Old(), fs::copy_options::recursive);
            EmptyFolder(Host('E'));
            if (GetParam() == Remounted) {
                ASSERT_TRUE(mMounts.blnUnmount(Host('E')));
            }
        }
        if (GetParam() == FolderReplaced || GetParam() == Remounted) {
            ASSERT_TRUE(mMounts.blnMount(Host('E'), kMediumBytes)) << mMounts.strWhyNot();
        }
    }
    fs::path Old() const { return mobjRoot / "old"; }

    twtest::TmpfsMounts mMounts;
};

}  // namespace

TEST_P(DiscChange, TheRunAndTheNextOneUseTheWholeChangedMedium) {
    // Three files of 60,000 bytes: the instruction file and two of them fill
    // the medium, where 8,192 bytes must stay free.
    for (const char* name : {"A/1.bin", "A/2.bin", "B/3.bin"})
        twtest::WriteFile(Host('C') / name, std::string(60000, name[2]));
    Instructions('C', "", {"IncludeFamily"});
    const bool blnSimulated = GetParam() == SimulatedEmptiedInPlace;
    if (!blnSimulated && !mMounts.blnMount(Host('E'), kMediumBytes))
        GTEST_SKIP() << "no tmpfs can be mounted here: " << mMounts.strWhyNot();
    fs::create_directories(Host('E') / "Backup");
    Start(blnSimulated ? std::optional<uint64_t>(kMediumBytes) : std::nullopt);
    mobjListener.mfnOnOutOfSpace = [&] {
        ChangeMedium();
        return false;
    };

    EXPECT_FALSE(blnBackup());
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(mobjListener.mlngOutOfSpace, 1);
    // Every file on one of the two media, whole.
    auto files = FilesBelow(Old() / "Backup" / "C$");
    for (const auto& [strPath, strData] : FilesBelow(Host('E') / "Backup" / "C$"))
        EXPECT_TRUE(files.emplace(strPath, strData).second) << strPath << " is on both media";
    EXPECT_TRUE(files == FilesBelow(Host('C')));

    // Emptied by someone else, the medium is all there for the next run,
    // which stops at the full disc having counted only what it copied; a
    // declined new disc is no error.
    EmptyFolder(Host('E') / "Backup");
    mobjListener.maLog.clear();
    mobjListener.mfnOnOutOfSpace = [] { return true; };
    EXPECT_TRUE(blnBackup());
    EXPECT_EQ(FilesBelow(Host('E')).size(), 2u);
    EXPECT_EQ(mobjManager.dblSpaceUsed(), 120000);
    EXPECT_EQ(mobjHandler->intRoutineCount(), 0);
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(mobjListener.Count("End"), 1);
}

INSTANTIATE_TEST_SUITE_P(Media, DiscChange,
                         ::testing::Values(EmptiedInPlace, FolderReplaced, Remounted,
                                           SimulatedEmptiedInPlace));
