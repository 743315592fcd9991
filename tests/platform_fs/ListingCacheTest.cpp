// Folders listed again in one walk come from the listing cache; a folder that
// changed since must never be answered from it.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "FsFixture.h"
#include "tests/support/LocalTime.h"

namespace {

using namespace std::chrono_literals;

class ListingCache : public twtest::FsFixture {
  protected:
    std::vector<std::string> Names(const std::string& strFolder) {
        std::vector<std::string> out;
        for (const auto& f : mFs->GetFolder(strFolder)->Files()) out.push_back(f->Name());
        for (const auto& f : mFs->GetFolder(strFolder)->SubFolders())
            out.push_back(f->Name() + "/");
        std::sort(out.begin(), out.end());
        return out;
    }
    // The folder looks settled, as a source tree usually is.
    void Age(const std::string& strRel) {
        twtest::SetModified(mC / strRel, std::chrono::system_clock::now() - 1h);
    }
};

TEST_F(ListingCache, ChangesAfterAListingAreSeen) {
    twtest::BuildTree(mC, "D/a.txt\nD/Sub/\n");
    Age("D");
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"Sub/", "a.txt"}));

    twtest::WriteFile(mC / "D/b.txt", "b");  // by another program
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"Sub/", "a.txt", "b.txt"}));

    Age("D");
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"Sub/", "a.txt", "b.txt"}));
    mFs->DeleteFile("C:\\D\\a.txt", false);  // by the layer itself
    std::filesystem::remove(mC / "D/Sub");
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"b.txt"}));
}

TEST_F(ListingCache, AFolderReplacedUnderTheSameNameIsReadAgain) {
    twtest::BuildTree(mC, "D/old.txt\n");
    Age("D");
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"old.txt"}));
    EXPECT_TRUE(mFs->FileExists("C:\\d\\OLD.TXT"));

    std::filesystem::rename(mC / "D", mC / "Gone");
    twtest::BuildTree(mC, "D/new.txt\n");
    twtest::SetModified(mC / "D", std::chrono::system_clock::now() - 1h);
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"new.txt"}));
    EXPECT_FALSE(mFs->FileExists("C:\\d\\OLD.TXT"));
    EXPECT_TRUE(mFs->FileExists("C:\\d\\NEW.TXT"));
}

}  // namespace
