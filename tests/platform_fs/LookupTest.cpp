// Lookups by Windows path, listings, and names no Windows path can carry.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include "platform/fs/HostNames.h"
#include "tests/platform_fs/FsFixture.h"

using namespace platform::fs;

namespace twtest {
namespace {

class Lookup : public FsFixture {};

template <class T>
std::vector<std::string> Names(const std::vector<std::shared_ptr<T>>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item->Name());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Lookup, FindsNamesExactlyFirstThenWithoutCase) {
    BuildTree(mC, "data/weekly.bdf=w\ndata/Weekly.BDF=W\nDocs/\n\xc3\xa9t\xc3\xa9/f.txt=x\n");
    EXPECT_EQ(mFs->ReadFile("C:\\data\\Weekly.BDF"), "W");
    EXPECT_EQ(mFs->ReadFile("C:\\DATA\\weekly.bdf"), "w");
    EXPECT_TRUE(mFs->FileExists("c:\\DATA\\WEEKLY.bdf"));
    EXPECT_TRUE(mFs->FolderExists("C:\\docs"));
    EXPECT_FALSE(mFs->FileExists("C:\\docs"));
    EXPECT_FALSE(mFs->FolderExists("C:\\data\\weekly.bdf"));
    const FolderPtr folder = mFs->GetFolder("C:\\\xc3\x89T\xc3\x89");  // ÉTÉ finds été
    EXPECT_EQ(folder->Path(), "C:\\\xc3\xa9t\xc3\xa9");                // as the host spells it
    EXPECT_EQ(mFs->GetFile("C:\\DOCS\\..\\\xc3\x89t\xc3\xa9\\F.TXT")->Path(),
              "C:\\\xc3\xa9t\xc3\xa9\\f.txt");
    EXPECT_EQ(ErrOf([&] { mFs->GetFile("C:\\data\\none.bdf"); }), 53);
    EXPECT_EQ(ErrOf([&] { mFs->GetFile("C:\\nofolder\\none.bdf"); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->GetFolder("C:\\nofolder"); }), 76);
    EXPECT_EQ(mFs->FileLen("C:\\data\\weekly.bdf"), 1u);
}

TEST_F(Lookup, DotDotNeverLeavesTheDrive) {
    WriteFile(mTmp / "outside.txt", "secret");
    EXPECT_EQ(ErrOf([&] { mFs->ReadFile("C:\\..\\outside.txt"); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\..\\outside.txt", "C:\\x", false); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->WriteFileReplacing("C:\\a\\..\\..\\e\\x.txt", "x"); }), 76);
    EXPECT_EQ(ErrOf([&] { mFs->CreateFolder("C:\\..\\e\\new"); }), 76);
    EXPECT_FALSE(mFs->FileExists("C:\\..\\outside.txt"));
    EXPECT_FALSE(std::filesystem::exists(mE / "x.txt"));
    EXPECT_FALSE(std::filesystem::exists(mE / "new"));
    EXPECT_EQ(mFs->HostPathOf("C:\\..\\outside.txt"), std::nullopt);
    BuildTree(mC, "a/b.txt=b\n");
    EXPECT_EQ(mFs->ReadFile("C:\\a\\.\\..\\a\\b.txt"), "b");
}

TEST_F(Lookup, ListsOnlyFoldersAndFilesAndNeverFollowsFolderLinks) {
    BuildTree(mC, "d/sub/x.txt\nd/plain.txt\nd/.hidden\n");
    const auto d = mC / "d";
    std::filesystem::create_symlink(mC / "d" / "sub", d / "linkdir");
    std::filesystem::create_symlink(d / "plain.txt", d / "linkfile");
    std::filesystem::create_symlink(d / "gone", d / "dangling");
    std::filesystem::create_symlink(d / "loop2", d / "loop1");
    std::filesystem::create_symlink(d / "loop1", d / "loop2");
    ASSERT_EQ(mkfifo((d / "fifo").c_str(), 0644), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (d / "sock").string();
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    sockPath.copy(addr.sun_path, sockPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    const FolderPtr folder = mFs->GetFolder("C:\\d");
    EXPECT_EQ(Names(folder->SubFolders()), std::vector<std::string>{"sub"});
    EXPECT_EQ(Names(folder->Files()),
              (std::vector<std::string>{".hidden", "linkfile", "plain.txt"}));
    EXPECT_FALSE(mFs->FileExists("C:\\d\\fifo"));
    EXPECT_EQ(ErrOf([&] { mFs->ReadFile("C:\\d\\fifo"); }), 53);  // would block if opened
    EXPECT_EQ(ErrOf([&] { mFs->CopyFile("C:\\d\\sock", "E:\\sock", false); }), 53);
    EXPECT_FALSE(mFs->FileExists("C:\\d\\loop1"));
    EXPECT_EQ(mFs->Dir("C:\\d\\*", vbNormal | vbHidden | vbDirectory).size(), 4u);
    // A walk's single reading sorts the entries the same way.
    const auto listing = folder->Listing();
    EXPECT_EQ(Names(listing->SubFolders()), std::vector<std::string>{"sub"});
    EXPECT_EQ(Names(listing->Files()),
              (std::vector<std::string>{".hidden", "linkfile", "plain.txt"}));
    std::optional<platform::RtError> err;
    EXPECT_FALSE(listing->TryReadFile("FIFO", err));
    EXPECT_EQ(err->Number(), 53);
    close(sock);
}

// A folder with subfolders is read again for its files, which are asked once
// the subfolders are walked; one without keeps its names. Sizes are those
// of the moment the files are asked.
TEST_F(Lookup, AReadingGivesTheFilesAsTheyAreWhenAsked) {
    BuildTree(mC, "d/sub/\nd/a.txt=a\nleaf/b.txt=b\n");
    const auto withSub = mFs->GetFolder("C:\\d")->Listing();
    const auto leaf = mFs->GetFolder("C:\\leaf")->Listing();
    WriteFile(mC / "d/new.txt", "nnn");
    WriteFile(mC / "leaf/b.txt", "bbbb");
    std::vector<std::string> sizes;
    for (const auto& listing : {withSub.get(), leaf.get()})
        for (const FilePtr& f : listing->Files())
            sizes.push_back(f->Name() + "=" + std::to_string(f->Size()));
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<std::string>{"a.txt=1", "b.txt=4", "new.txt=3"}));
    std::optional<platform::RtError> err;
    EXPECT_EQ(leaf->TryReadFile("B.TXT", err).value_or(""), "bbbb");
}

TEST_F(Lookup, DirSeesNormalAndReadOnlyFilesAndFoldersOnlyWhenAsked) {
    BuildTree(mC, "f/a.bdf\nf/ro.bdf\nf/sys.bdf\nf/.dot.bdf\nf/x.txt\nf/sub.bdf/\n");
    mFs->GetFile("C:\\f\\ro.bdf")->SetAttributes(vbReadOnly);
    mFs->GetFile("C:\\f\\sys.bdf")->SetAttributes(vbSystem);
    auto dir = [&](const std::string& p, int32_t a) {
        auto v = mFs->Dir(p, a);
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(dir("C:\\F\\*.BDF", vbNormal), (std::vector<std::string>{"a.bdf", "ro.bdf"}));
    EXPECT_EQ(dir("C:\\f\\*.bdf", vbDirectory),
              (std::vector<std::string>{"a.bdf", "ro.bdf", "sub.bdf"}));
    EXPECT_EQ(dir("C:\\f\\*.bdf", vbHidden | vbSystem),
              (std::vector<std::string>{".dot.bdf", "a.bdf", "ro.bdf", "sys.bdf"}));
    EXPECT_EQ(dir("C:\\f\\RO.BDF", vbNormal), std::vector<std::string>{"ro.bdf"});
    EXPECT_TRUE(dir("C:\\f\\SYS.BDF", vbNormal).empty());
    EXPECT_TRUE(dir("C:\\f\\sub.bdf", vbNormal).empty());
    EXPECT_TRUE(dir("C:\\missing\\*.*", vbNormal).empty());
}

TEST_F(Lookup, HostOnlyNamesAreListedCopiedAndRestoredUnderTheirMappedName) {
    const std::string slash = "a\\b.txt", bad = std::string("bad\xff.txt");
    BuildTree(mC, "src/\n");
    WriteFile(mC / "src" / slash, "1");
    WriteFile(mC / "src" / bad, "2");
    const FolderPtr src = mFs->GetFolder("C:\\src");
    mFs->CreateFolder("E:\\C$");
    for (const FilePtr& f : src->Files()) {
        EXPECT_EQ(f->Path().find('\\', 7), std::string::npos) << f->Path();
        f->Copy("E:\\C$\\" + f->Name(), false);
    }
    EXPECT_EQ(ReadFile(mE / "C$" / slash), "1");
    EXPECT_EQ(ReadFile(mE / "C$" / bad), "2");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mE / "C$"), {}), 2);
    // and back: the restore removes the source files first
    std::filesystem::remove_all(mC / "src");
    mFs->CreateFolder("C:\\src");
    for (const FilePtr& f : mFs->GetFolder("E:\\C$")->Files()) f->Copy("C:\\src\\", false);
    EXPECT_EQ(ReadTree(mC / "src"), ReadTree(mE / "C$"));
    EXPECT_EQ(mFs->HostPathOf("C:\\src\\" + HostNames::ToWindowsName(slash)), mC / "src" / slash);
}

}  // namespace
}  // namespace twtest
