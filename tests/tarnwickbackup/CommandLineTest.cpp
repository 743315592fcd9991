#include <QComboBox>

#include "MainFormFixture.h"
#include "tarnwickbackup/TWDeclarations.h"

namespace twtest {
namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using tarnwickbackup::MainForm;

std::vector<std::string> Tokens(std::string strLine) {
    std::vector<std::string> out;
    while (auto vntToken = MainForm::strGetToken(strLine)) out.push_back(*vntToken);
    out.push_back(strLine.empty() ? "<null, line empty>" : "<null, line \"" + strLine + "\">");
    return out;
}

TEST(StrGetToken, BlanksSeparateAndQuotesHoldBlanks) {
    EXPECT_EQ(Tokens("  a  \"b c\"d"),
              (std::vector<std::string>{"a", "b c", "d", "<null, line empty>"}));
    // Blanks only: nothing taken, the line stays as it was.
    EXPECT_EQ(Tokens("   "), (std::vector<std::string>{"<null, line \"   \">"}));
    EXPECT_EQ(Tokens(""), (std::vector<std::string>{"<null, line empty>"}));
    // A quote inside a word is a character; an empty pair is an empty token;
    // a quote never closed ends the line.
    EXPECT_EQ(Tokens("x\"y \"\" \"open end"),
              (std::vector<std::string>{"x\"y", "", "<null, line empty>"}));
    // Only the space character separates.
    EXPECT_EQ(Tokens("a\tb"), (std::vector<std::string>{"a\tb", "<null, line empty>"}));

    std::string strLine = "one two";
    EXPECT_EQ(MainForm::strGetToken(strLine), "one");
    EXPECT_EQ(strLine, " two");  // the blank stays with the rest
}

class CommandLineTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        WriteFile(mTmp / "c" / "Daily.BDF", ";Backup type definition file\r\nIncludeFamily\r\n");
        WriteFile(mTmp / "c" / "Data" / "a.txt", "alpha");
        fs::create_directories(mTmp / "e" / "bk");
    }
    // Starts the program with the command line; returns what the boxes said.
    std::vector<std::string> Unattended(const std::string& strLine) {
        mUi->ClearPrompts();
        mForm.reset();
        StartForm(strLine);
        return PromptTexts();
    }
};

TEST_F(CommandLineTest, EachMistakeHasItsMessageAndNoBackupIsMade) {
    const std::pair<const char*, const char*> aCases[] = {
        {"/ub", "Missing backup type in /ub option."},
        {"/ub daily e:\\bk\\", "Unrecognized backup type \"daily\" in /ub option."},
        {"/UB Daily", "Missing backup destination in /ub option."},
        {"/ub Daily e:\\bk\\ /md", "Missing (days) after /md option."},
        {"/ub Daily e:\\bk\\ /md x", "Invalid (days) after /md option."},
        {"/ub Daily e:\\bk\\ /md -1", "Invalid (days) after /md option."},
        {"/ub Daily e:\\bk\\ /ca", "Missing (days) after /ca option."},
        {"/ub Daily e:\\bk\\ /ca 1,5", "Invalid (days) after /ca option."},
        {"/ub Daily e:\\bk\\ /ca -0.6", "Invalid (days) after /ca option."},
        {"/ub Daily e:\\bk\\ /Xy", "Unrecognized command line option \"/Xy\". Backup aborted."},
        {"/ub Daily e:\\bk",
         "\"e:\\bk\" is not a valid backup destination. Destinations must "
         "include a drive letter and end with \"\\\"."},
        // An open quote swallows the rest, "/ub" with it.
        {"/dt \"/ub Daily e:\\bk\\ ", "Missing backup type in /ub option."},
    };
    for (const auto& [pszLine, pszMessage] : aCases) {
        const auto aPrompts = Unattended(std::string(pszLine) + " ");
        ASSERT_EQ(aPrompts.size(), 1u) << pszLine;
        EXPECT_EQ(aPrompts[0], pszMessage) << pszLine;
        EXPECT_EQ(LastPrompt().lngStyle, ui::vbCritical + ui::vbOKOnly);
        EXPECT_EQ(mForm->lngExitStatus(), tarnwickbackup::glngEXIT_STOPPED) << pszLine;
        EXPECT_FALSE(fs::exists(mTmp / "e" / "bk" / "C$")) << pszLine;
    }
}

TEST_F(CommandLineTest, OptionsSetTheRunAndTheSummaryShowsThem) {
    // Later options override earlier ones; option words in any case.
    auto aPrompts = Unattended("/UB Daily e:\\bk\\ /md 3 /IA /md 7.5 /ca 2 /dt");
    ASSERT_EQ(aPrompts.size(), 2u);
    EXPECT_NE(aPrompts[0].find(" used."), std::string::npos);
    EXPECT_EQ(LastPrompt().strTitle, "Options For Backup Just Completed");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbInformation + ui::vbOKOnly);
    EXPECT_EQ(aPrompts[1],
              "Backup Type:   \"Daily\"\r\n"
              "Destination:   \"e:\\bk\\\"\r\n"
              "Max Days Since Last Change To Include:   8\r\n"
              "Include Files With \"Archive\" Flag:   Yes\r\n"
              "Clear \"Archive\" Flag After Backup:   Yes\r\n"
              "Min Days Since Last Change To Clear \"Archive\" Flag:   2\r\n"
              "Backup To Subfolder Named For Date And Time:   Yes");
    EXPECT_EQ(mForm->lngExitStatus(), tarnwickbackup::glngEXIT_CLEAN);
    // One dated folder holding the file.
    std::vector<fs::path> aDated;
    for (const auto& e : fs::directory_iterator(mTmp / "e" / "bk")) aDated.push_back(e.path());
    ASSERT_EQ(aDated.size(), 1u);
    EXPECT_EQ(ReadFile(aDated[0] / "C$" / "Data" / "a.txt"), "alpha");

    // "/ia" alone does nothing (the summary is read from the manager after
    // the run, and says so); neither days line is shown.
    aPrompts = Unattended("/ia /ub Daily \"e:\\bk\\\"");
    ASSERT_EQ(aPrompts.size(), 2u);
    EXPECT_EQ(aPrompts[1],
              "Backup Type:   \"Daily\"\r\n"
              "Destination:   \"e:\\bk\\\"\r\n"
              "/ia has no effect without /md\r\n"
              "Clear \"Archive\" Flag After Backup:   No\r\n"
              "Backup To Subfolder Named For Date And Time:   No");
    // The plain backup replaced what was there.
    std::vector<std::string> aNames;
    for (const auto& e : fs::directory_iterator(mTmp / "e" / "bk"))
        aNames.push_back(e.path().filename().string());
    EXPECT_EQ(aNames, std::vector<std::string>{"C$"});
    EXPECT_EQ(ReadFile(mTmp / "e" / "bk" / "C$" / "Data" / "a.txt"), "alpha");
}

}  // namespace
}  // namespace twtest
