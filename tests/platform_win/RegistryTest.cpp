// The registry over hive files: names, sizes, handles of deleted keys,
// damaged and unwritable hives, and many writers in many processes.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/win/HiveText.h"
#include "platform/win/Locations.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class Reg : public WinFixture {
  protected:
    HKEY Create(Registry& reg, HKEY root, const std::string& path) {
        HKEY h = 0;
        EXPECT_EQ(reg.CreateKey(root, path, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
        return h;
    }
    std::string UserHive() const { return strUserHivePath(); }
};

TEST_F(Reg, NamesCompareWithoutCaseAndKeepTheCaseWritten) {
    auto reg = NewRegistry();
    HKEY h = Create(*reg, HKEY_CURRENT_USER, "Software\\Notavex\\Annotator");
    ASSERT_EQ(reg->SetValue(h, "DLLPath", REG_SZ, "x", 2), ERROR_SUCCESS);
    ASSERT_EQ(reg->SetValue(h, "dllpath", REG_SZ, "yz", 3), ERROR_SUCCESS);

    auto other = NewRegistry();
    HKEY o = 0;
    ASSERT_EQ(other->OpenKey(HKEY_CURRENT_USER, "SOFTWARE\\notavex\\ANNOTATOR", KEY_READ, &o), 0);
    char buf[8] = {};
    uint32_t size = sizeof buf, type = 0;
    EXPECT_EQ(other->QueryValue(o, "DLLPATH", &type, buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 3u);
    EXPECT_STREQ(buf, "yz");
    std::string name;
    EXPECT_EQ(other->EnumKey(HKEY_CURRENT_USER, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Software");
    EXPECT_NE(ReadText(UserHive())
                  .find("[HKEY_CURRENT_USER\\Software\\Notavex\\Annotator]\n\"DLLPath\"=\"yz\"\n"),
              std::string::npos);
    // Classes are the machine hive's Software\Classes; a new machine hive
    // knows where programs go.
    HKEY c = Create(*reg, HKEY_CLASSES_ROOT, "Notavex.NVNote.1");
    EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, "software\\classes\\notavex.nvnote.1", KEY_READ, &c),
              0);
    HKEY cv = 0;
    ASSERT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           KEY_READ, &cv),
              0);
    size = sizeof buf;
    EXPECT_EQ(reg->QueryValue(cv, "ProgramFilesDir", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, strDefaultProgramFiles().size() + 1);
}

TEST_F(Reg, RawValuesOfOneAndTwelveBytesRoundTripWithSizesInAndOut) {
    auto reg = NewRegistry();
    HKEY h = Create(*reg, HKEY_CURRENT_USER, "Software\\Notavex\\Annotator\\1.0\\Capture");
    const uint8_t one[1] = {0};
    const uint8_t twelve[12] = {0x51, 0x52, 0, 0, 'W', 0, 0, 0, 0xFF, 0xFE, 0x0A, 0x5C};
    ASSERT_EQ(reg->SetValue(h, "ShowIcon", REG_NONE, one, 1), ERROR_SUCCESS);
    ASSERT_EQ(reg->SetValue(h, "WindowHotkey", REG_NONE, twelve, 12), ERROR_SUCCESS);
    EXPECT_NE(ReadText(UserHive()).find("\"ShowIcon\"=hex(0):00\n"), std::string::npos);

    auto other = NewRegistry();
    HKEY o = 0;
    ASSERT_EQ(other->OpenKey(HKEY_CURRENT_USER, "Software\\Notavex\\Annotator\\1.0\\Capture",
                             KEY_READ, &o),
              0);
    for (const auto& [name, data, size] :
         {std::tuple{"ShowIcon", one, 1u}, std::tuple{"WindowHotkey", twelve, 12u}}) {
        uint8_t buf[16];
        std::memset(buf, 0xAA, sizeof buf);
        uint32_t got = size, type = 99;
        EXPECT_EQ(other->QueryValue(o, name, &type, buf, &got), ERROR_SUCCESS) << name;
        EXPECT_EQ(type, REG_NONE);
        EXPECT_EQ(got, size);
        EXPECT_EQ(std::memcmp(buf, data, size), 0) << name;
        // One byte short: 234 with the size needed, and the buffer untouched.
        std::memset(buf, 0xAA, sizeof buf);
        got = size - 1;
        EXPECT_EQ(other->QueryValue(o, name, nullptr, buf, &got), ERROR_MORE_DATA);
        EXPECT_EQ(got, size);
        EXPECT_EQ(buf[0], 0xAA);
        // A larger buffer reads, and says how much it got.
        got = sizeof buf;
        EXPECT_EQ(other->QueryValue(o, name, nullptr, buf, &got), ERROR_SUCCESS);
        EXPECT_EQ(got, size);
    }
    uint32_t got = 4;
    EXPECT_EQ(other->QueryValue(o, "Missing", nullptr, nullptr, &got), ERROR_FILE_NOT_FOUND);
}

TEST_F(Reg, AHandleOfADeletedKeyFailsAndNeverMakesTheKeyAgain) {
    auto reg = NewRegistry();
    HKEY parent = Create(*reg, HKEY_CURRENT_USER, "Software\\Notavex");
    HKEY h = Create(*reg, parent, "Annotator\\1.0");
    EXPECT_EQ(reg->DeleteKey(parent, "Annotator"), ERROR_ACCESS_DENIED);  // has a subkey
    EXPECT_EQ(reg->DeleteKey(parent, "Missing"), ERROR_FILE_NOT_FOUND);

    const uint8_t v = 0;
    ASSERT_EQ(reg->SetValue(h, "Gone", REG_NONE, &v, 1), ERROR_SUCCESS);
    EXPECT_EQ(reg->DeleteValue(h, "GONE"), ERROR_SUCCESS);
    EXPECT_EQ(reg->DeleteValue(h, "Gone"), ERROR_FILE_NOT_FOUND);

    auto other = NewRegistry();  // as another process would
    EXPECT_EQ(SHDeleteKey(*other, HKEY_CURRENT_USER, "software\\notavex\\annotator"),
              ERROR_SUCCESS);
    const uint8_t b = 1;
    EXPECT_EQ(reg->SetValue(h, "ShowIcon", REG_NONE, &b, 1), ERROR_KEY_DELETED);
    uint32_t size = 1;
    EXPECT_EQ(reg->QueryValue(h, "ShowIcon", nullptr, nullptr, &size), ERROR_KEY_DELETED);
    HKEY sub = 0;
    EXPECT_EQ(reg->CreateKey(h, "Capture", KEY_ALL_ACCESS, &sub), ERROR_KEY_DELETED);
    EXPECT_EQ(reg->OpenKey(HKEY_CURRENT_USER, "Software\\Notavex\\Annotator", KEY_READ, &sub),
              ERROR_FILE_NOT_FOUND);
    std::string name;
    EXPECT_EQ(reg->EnumKey(parent, 0, &name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(reg->CloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(reg->CloseKey(h), ERROR_INVALID_HANDLE);
}

TEST_F(Reg, ADamagedHiveIsNamedInTheErrorAndNeverOverwritten) {
    blnMakeFolders(Path("config/notavex"));
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"a\"=hex(0):0g\n";
    WriteText(UserHive(), damaged);
    auto reg = NewRegistry();
    HKEY h = 0;
    EXPECT_EQ(reg->CreateKey(HKEY_CURRENT_USER, "Software\\New", KEY_ALL_ACCESS, &h), ERROR_BADDB);
    EXPECT_EQ(reg->strLastError(), "Hive " + UserHive() +
                                       ", line 4: hex data must be two-digit bytes separated by "
                                       "commas (at most 1 MiB)");
    EXPECT_EQ(reg->SetValue(HKEY_CURRENT_USER, "x", REG_SZ, "", 1), ERROR_BADDB);
    EXPECT_EQ(ReadText(UserHive()), damaged);
    // The machine hive is another file and still works.
    EXPECT_EQ(reg->CreateKey(HKEY_LOCAL_MACHINE, "Software\\New", KEY_ALL_ACCESS, &h),
              ERROR_SUCCESS);

    // Mended by hand, it is read again.
    WriteText(UserHive(), "[HKEY_CURRENT_USER\\Software]\n\"a\"=hex(0):0f\n");
    EXPECT_EQ(reg->OpenKey(HKEY_CURRENT_USER, "software", KEY_READ, &h), ERROR_SUCCESS);

    HiveData data;
    HiveParseError err;
    for (const char* bad :
         {"\"a\"=\"b\"\n", "[HKEY_LOCAL_MACHINE\\X]\n", "[HKEY_CURRENT_USER\\a\\\\b]\n",
          "[HKEY_CURRENT_USER]\n\"a\"=\"unterminated\n", "[HKEY_CURRENT_USER]\n\"a\"=dword:1\n",
          "[HKEY_CURRENT_USER]\n\"a\"=\"1\"\n\"A\"=\"2\"\n"})
        EXPECT_FALSE(blnParseHive(bad, "HKEY_CURRENT_USER", data, err)) << bad;
}

TEST_F(Reg, AHiveThatCannotBeWrittenIsAccessDeniedForAnotherUser) {
    auto reg = NewRegistry();
    HKEY h = Create(*reg, HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator");
    ASSERT_EQ(reg->SetValue(h, "Version", REG_SZ, "3.0.0.551", 10), ERROR_SUCCESS);
    OpenToNobody();
    const std::string before = ReadText(strMachineHivePath());
    const int r = RunAsNobody([] {
        auto nobody = OpenRegistry();
        HKEY k = 0;
        if (nobody->OpenKey(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator", KEY_READ, &k) != 0)
            return 1;
        if (nobody->OpenKey(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator", KEY_WRITE, &k) != 5)
            return 2;
        if (nobody->CreateKey(HKEY_LOCAL_MACHINE, "Software\\Other", KEY_READ, &k) != 5) return 3;
        if (nobody->SetValue(HKEY_LOCAL_MACHINE, "x", REG_SZ, "", 1) != 5) return 4;
        if (nobody->DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Notavex\\Annotator") != 5) return 5;
        return 0;
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(ReadText(strMachineHivePath()), before);
}

TEST_F(Reg, TwoProcessesWritingOneHiveAThousandTimesEachLoseNothing) {
    pid_t kids[2];
    for (int k = 0; k < 2; ++k) {
        kids[k] = fork();
        if (kids[k] == 0) {
            auto reg = OpenRegistry();
            HKEY h = 0;
            if (reg->CreateKey(HKEY_CURRENT_USER, "Software\\Race", KEY_ALL_ACCESS, &h) != 0)
                _exit(1);
            for (int i = 0; i < 1000; ++i) {
                const std::string name = "p" + std::to_string(k) + "_" + std::to_string(i);
                if (reg->SetValue(h, name, REG_SZ, name.c_str(), uint32_t(name.size() + 1)) != 0)
                    _exit(2);
            }
            _exit(0);
        }
    }
    for (pid_t kid : kids) {
        int status = 0;
        ASSERT_EQ(waitpid(kid, &status, 0), kid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto reg = NewRegistry();
    HKEY h = 0;
    ASSERT_EQ(reg->OpenKey(HKEY_CURRENT_USER, "Software\\Race", KEY_READ, &h), 0);
    HiveValue v;
    uint32_t n = 0;
    while (reg->EnumValue(h, n, &v) == ERROR_SUCCESS) ++n;
    EXPECT_EQ(n, 2000u);
}

TEST_F(Reg, AWriterKilledMidWriteLeavesAWholeHive) {
    const pid_t kid = fork();
    if (kid == 0) {
        auto reg = OpenRegistry();
        HKEY h = 0;
        if (reg->CreateKey(HKEY_CURRENT_USER, "Software\\Killed", KEY_ALL_ACCESS, &h) != 0)
            _exit(1);
        const std::string big(20000, 'x');
        for (int i = 0;; ++i)
            reg->SetValue(h, "v" + std::to_string(i), REG_SZ, big.c_str(),
                          uint32_t(big.size() + 1));
    }
    // Let it write for a while, then kill it wherever it is.
    while (ReadText(UserHive()).find("\"v5\"") == std::string::npos) usleep(1000);
    usleep(30000);
    kill(kid, SIGKILL);
    waitpid(kid, nullptr, 0);
    HiveData data;
    HiveParseError err;
    ASSERT_TRUE(blnParseHive(ReadText(UserHive()), "HKEY_CURRENT_USER", data, err)) << err.strWhat;
    const HiveKey* key = data.Find("Software\\Killed");
    ASSERT_NE(key, nullptr);
    EXPECT_GE(key->values.size(), 6u);  // v5 was seen before the kill
    for (std::size_t i = 0; i < key->values.size(); ++i)
        EXPECT_EQ(key->values[i].strName, "v" + std::to_string(i));
    // The next writer clears what the killed one left behind.
    auto reg = NewRegistry();
    EXPECT_EQ(reg->SetValue(HKEY_CURRENT_USER, "after", REG_SZ, "", 1), ERROR_SUCCESS);
    for (const auto& e : std::filesystem::directory_iterator(Path("config/notavex")))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST(HiveTextForm, EveryValueComesBackAsItWasWritten) {
    HiveData data;
    HiveKey& k = data.Create("Software\\Quo\"te\\Back\\slash");
    k.values = {{"", REG_SZ, std::string("de\"fault\\", 9) + '\0'},
                {"line", REG_SZ, std::string("a\nb") + '\0'},
                {"nul", REG_SZ, std::string("a\0b", 3)},
                {"dw", REG_DWORD, std::string("\x01\x02\x03\x04", 4)},
                {"none", REG_NONE, ""},
                {"multi", REG_MULTI_SZ, std::string("a\0\0\0", 4)},
                {"bin", REG_BINARY, std::string(100, '\x7f')}};
    const std::string text = strFormatHive(data, "HKEY_CURRENT_USER");
    HiveData back;
    HiveParseError err;
    ASSERT_TRUE(blnParseHive(text, "HKEY_CURRENT_USER", back, err)) << err.lngLine << err.strWhat;
    EXPECT_EQ(strFormatHive(back, "HKEY_CURRENT_USER"), text);
    const HiveKey* b = back.Find("software\\quo\"te\\back\\SLASH");
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->values.size(), k.values.size());
    for (std::size_t i = 0; i < k.values.size(); ++i) {
        EXPECT_EQ(b->values[i].lngType, k.values[i].lngType) << i;
        EXPECT_EQ(b->values[i].data, k.values[i].data) << i;
    }
    // Memory is bounded by the count of keys and values, whatever the paths.
    std::string many = "[HKEY_CURRENT_USER\\a]\n";
    for (std::size_t i = 0; i <= kMaxHiveEntries; ++i)
        many += "\"" + std::to_string(i) + "\"=hex:\n";
    EXPECT_FALSE(blnParseHive(many, "HKEY_CURRENT_USER", back, err));
    EXPECT_EQ(err.strWhat, "more than 200000 keys and values");
    // Long hex data may be continued over lines, as exports write it.
    ASSERT_TRUE(blnParseHive("[HKEY_CURRENT_USER]\n\"h\"=hex(0):01,02,\\\n  03\n",
                             "HKEY_CURRENT_USER", back, err));
    EXPECT_EQ(back.Find("")->values[0].data, std::string("\x01\x02\x03", 3));
}

TEST_F(Reg, TheKeyToolPrintsAKeyAndEverythingBelowItAsTheHiveHoldsIt) {
    auto reg = NewRegistry();
    HKEY h = Create(*reg, HKEY_CURRENT_USER, "Software\\Notavex\\Annotator\\1.0\\Capture");
    const uint8_t b = 1;
    ASSERT_EQ(reg->SetValue(h, "ShowIcon", REG_NONE, &b, 1), ERROR_SUCCESS);
    const auto nvreg = [&](const std::string& key, int* code) {
        const std::string cmd = strJoin(strProgramFolder(), "nvreg") + " '" + key + "' 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        std::string out;
        char buf[256];
        while (p && fgets(buf, sizeof buf, p)) out += buf;
        *code = p ? WEXITSTATUS(pclose(p)) : -1;
        return out;
    };
    int code = -1;
    EXPECT_EQ(nvreg("HKCU\\software\\notavex\\annotator", &code),
              "[HKEY_CURRENT_USER\\software\\notavex\\annotator]\n\n"
              "[HKEY_CURRENT_USER\\software\\notavex\\annotator\\1.0]\n\n"
              "[HKEY_CURRENT_USER\\software\\notavex\\annotator\\1.0\\Capture]\n\"ShowIcon\"=hex(0)"
              ":01\n");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(nvreg("HKLM\\Software\\Missing", &code),
              "nvreg: HKEY_LOCAL_MACHINE\\Software\\Missing: no such key\n");
    EXPECT_EQ(code, 1);
}

}  // namespace
}  // namespace twtest
