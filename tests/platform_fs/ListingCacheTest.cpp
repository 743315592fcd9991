// Folders listed again in one walk come from the listing cache; a folder that
// changed since must never be answered from it.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "FsFixture.h"
#include "platform/fs/HostNames.h"
#include "platform/fs/ListingCache.h"
#include "platform/fs/PathResolver.h"
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

TEST_F(ListingCache, ChangesAfterAListingAndAReplacedFolderAreSeen) {
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

    // A folder replaced under the same name, looking just as settled.
    Age("D");
    EXPECT_TRUE(mFs->FileExists("C:\\d\\B.TXT"));
    std::filesystem::rename(mC / "D", mC / "Gone");
    twtest::BuildTree(mC, "D/new.txt\n");
    Age("D");
    EXPECT_EQ(Names("C:\\D"), (std::vector<std::string>{"new.txt"}));
    EXPECT_FALSE(mFs->FileExists("C:\\d\\B.TXT"));
    EXPECT_TRUE(mFs->FileExists("C:\\d\\NEW.TXT"));
}

// Reads a folder like the layer does, counting how often it is asked.
int gReads = 0;
std::vector<platform::fs::HostEntry> CountingRead(const std::string& strHostDir) {
    ++gReads;
    std::vector<platform::fs::HostEntry> entries;
    for (const auto& e : std::filesystem::directory_iterator(strHostDir))
        entries.push_back({e.path().filename().string(), e.is_directory()
                                                             ? platform::fs::EntryKind::Folder
                                                             : platform::fs::EntryKind::File});
    return entries;
}

std::string Fold(const char* name) {
    return platform::fs::HostNames::Fold(name);
}

TEST_F(ListingCache, AFolderThisProcessFillsIsNotReadAgainUntilAnotherProgramChangesIt) {
    using platform::fs::EntryKind;
    auto& cache = platform::fs::ListingCache::Instance();
    const std::string strDir = (mE / "Wide").string();
    std::filesystem::create_directory(strDir);
    struct stat st;
    ASSERT_EQ(stat(strDir.c_str(), &st), 0);
    cache.Made(strDir, st);
    for (int i = 0; i < 300; ++i) {
        const std::string strName = "Sub" + std::to_string(i);
        std::filesystem::create_directory(strDir + "/" + strName);
        cache.Added(strDir, {strName, EntryKind::Folder});
    }
    gReads = 0;
    const auto matches = cache.Matching(strDir, Fold("SUB7"), &CountingRead);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].strHostName, "Sub7");
    EXPECT_TRUE(cache.Matching(strDir, Fold("SUB300"), &CountingRead).empty());
    EXPECT_EQ(cache.Get(strDir, &CountingRead)->size(), 300u);
    EXPECT_EQ(gReads, 0);

    // Another program adds a folder a while later: the folder's time moves
    // on past this process's own changes, and the folder is read again.
    std::filesystem::create_directory(strDir + "/sub300");
    twtest::SetModified(strDir, std::chrono::system_clock::now() + 2s);
    EXPECT_EQ(cache.Matching(strDir, Fold("SUB300"), &CountingRead).size(), 1u);
    EXPECT_EQ(gReads, 1);
}

TEST_F(ListingCache, WhatTheLayerMakesAndRemovesInAFolderItFillsIsSeen) {
    mFs->CreateFolder("E:\\Set");
    for (const char* name : {"Alpha", "Beta"}) mFs->CreateFolder(std::string("E:\\Set\\") + name);
    twtest::WriteFile(mC / "x.txt", "x");
    mFs->CopyFile("C:\\x.txt", "E:\\Set\\X.txt", false);
    EXPECT_TRUE(mFs->FolderExists("E:\\set\\ALPHA"));
    EXPECT_EQ(ErrOf([&] { mFs->CreateFolder("E:\\Set\\beta"); }), 58);
    EXPECT_TRUE(mFs->FileExists("E:\\Set\\x.TXT"));

    mFs->DeleteFolder("E:\\Set\\Alpha", false);
    mFs->DeleteFile("E:\\Set\\X.txt", false);
    mFs->CreateFolder("E:\\Set\\Gamma");  // an addition after the removals
    EXPECT_FALSE(mFs->FolderExists("E:\\Set\\alpha"));
    EXPECT_FALSE(mFs->FileExists("E:\\Set\\x.txt"));
    EXPECT_EQ(Names("E:\\Set"), (std::vector<std::string>{"Beta/", "Gamma/"}));
}

}  // namespace
