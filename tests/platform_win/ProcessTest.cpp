// Windows command lines split as Windows splits them, and real programs
// started from them.
#include <sys/stat.h>

#include "platform/win/Process.h"
#include "platform/win/SystemVersion.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, QuotesAndBackslashesSplitAsWindowsSplitsThem) {
    const std::pair<std::string, Args> cases[] = {
        {R"("C:\Program Files\Notavex\Install.exe" -u)",
         {R"(C:\Program Files\Notavex\Install.exe)", "-u"}},
        {R"(  "C:\dir\" x)", {R"(C:\dir\)", "x"}},  // the program name takes no escapes
        {R"(p a "b c" d)", {"p", "a", "b c", "d"}},
        {R"(p \"b)", {"p", R"("b)"}},
        {R"(p \\"b c")", {"p", R"(\b c)"}},
        {R"(p \\\"b)", {"p", R"(\"b)"}},
        {R"(p a\\b c\)", {"p", R"(a\\b)", R"(c\)"}},
        {R"(p "b""c" "")", {"p", R"(b"c)", ""}},
        {"p\ta\t\t\"b\tc\"", {"p", "a", "b\tc"}},
        {R"(p a"b c"d)", {"p", "ab cd"}},
    };
    for (const auto& [line, want] : cases) EXPECT_EQ(SplitCommandLine(line), want) << line;
    EXPECT_TRUE(SplitCommandLine("   ").empty());
    for (const std::string a :
         {"", "plain", "two words", R"(a"b)", R"(end\)", R"(C:\dir\ x\)", R"(\\"\\)"})
        EXPECT_EQ(SplitCommandLine("p " + strQuoteArgument(a)), (Args{"p", a})) << a;
}

class Processes : public WinFixture {};

TEST_F(Processes, TheSystemVersionIsNT51UnlessTheEnvironmentNamesAnother) {
    OsVersionInfo v;
    ASSERT_TRUE(GetVersionEx(&v));
    EXPECT_EQ(std::tuple(v.lngPlatformId, v.lngMajor, v.lngMinor),
              std::tuple(VER_PLATFORM_WIN32_NT, 5u, 1u));
    setenv("NOTAVEX_WINVER", "9x 4.0", 1);
    ASSERT_TRUE(GetVersionEx(&v));
    EXPECT_EQ(std::tuple(v.lngPlatformId, v.lngMajor, v.lngMinor),
              std::tuple(VER_PLATFORM_WIN32_WINDOWS, 4u, 0u));
    for (const char* none : {"none", "nt 5", "os2 1.0", "nt 5.1 x"}) {
        setenv("NOTAVEX_WINVER", none, 1);
        EXPECT_FALSE(GetVersionEx(&v)) << none;
    }
}

TEST_F(Processes, ProgramsAreFoundByWindowsNamesAndTheirExitCodesComeBack) {
    int32_t code = -1;
    ASSERT_TRUE(blnRunAndWait(R"(SH.EXE -c "exit 7")", &code));
    EXPECT_EQ(code, 7);
    ASSERT_TRUE(blnRunAndWait(R"(sh -c "kill -9 $$")", &code));
    EXPECT_EQ(code, 128 + 9);
    EXPECT_FALSE(blnRunAndWait("no-such-program.exe", &code));
    EXPECT_EQ(strResolveProgram("/bin/SH"), "/bin/sh");

    // Detached: not waited for, and the arguments arrive as split.
    ASSERT_TRUE(blnStartDetached(R"(sh -c "printf %s \"$1\" > \"$2\"" x "a \"b\" c" )" +
                                 strQuoteArgument(Path("out"))));
    EXPECT_TRUE(blnEventually([&] { return ReadText(Path("out")) == R"(a "b" c)"; }));
}

TEST_F(Processes, WebAddressesGoToTheOpenerAlsoAsIexplore) {
    const std::string opener = Path("opener");
    WriteText(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " + Path("opened") + "\n");
    chmod(opener.c_str(), 0755);
    setenv("NOTAVEX_BROWSER", opener.c_str(), 1);
    const std::string url =
        "http://nv.example:8080/help/index.html?reason=install&major=3&minor=0&bug=0";
    ASSERT_TRUE(blnShellOpen("iexplore.exe", url));
    ASSERT_TRUE(blnShellOpen(url, ""));
    EXPECT_TRUE(blnEventually([&] { return ReadText(Path("opened")) == url + "\n" + url + "\n"; }))
        << ReadText(Path("opened"));
}

}  // namespace
}  // namespace twtest
