// The preference store: defaults, presets, sizes and a user who may not
// write the machine-wide key.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "annotator/src/NVPrefs.h"
#include "platform/win/Locations.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class Prefs : public WinFixture {};

TEST_F(Prefs, AFreshUserGetsTheRootAndReadsDefaultsPresetsOrValuesOfTheSizeAsked) {
    auto reg = NewRegistry();
    NVPrefs prefs(*reg);
    ASSERT_EQ(prefs.Open(), S_OK);
    HKEY h = 0;
    EXPECT_EQ(reg->OpenKey(HKEY_CURRENT_USER, "Software\\Notavex\\Annotator\\1.0", KEY_READ, &h),
              0);

    uint8_t showIcon = 1;  // the caller's preset
    EXPECT_EQ(prefs.Read("Capture", "ShowIcon", &showIcon, 1), E_FAIL);
    EXPECT_EQ(showIcon, 1);
    uint8_t b = 0;
    EXPECT_EQ(prefs.Read("Help", "ShowToolbar", &b, 1), S_OK);
    EXPECT_EQ(b, 1);
    b = 7;
    EXPECT_EQ(prefs.Read("Help", "ShowToolbar", &b, 0), E_FAIL);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(prefs.Read("Help", "FirstInvisible", nullptr, 1), S_OK);

    // Written raw: type REG_NONE, the size given.
    const uint8_t zero = 0;
    ASSERT_EQ(prefs.Write("Capture", "ShowIcon", &zero, 1), S_OK);
    ASSERT_EQ(
        reg->OpenKey(HKEY_CURRENT_USER, "Software\\Notavex\\Annotator\\1.0\\Capture", KEY_READ, &h),
        0);
    uint32_t type = 99, size = 0;
    ASSERT_EQ(reg->QueryValue(h, "ShowIcon", &type, nullptr, &size), 0);
    EXPECT_EQ(type, REG_NONE);
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(prefs.Read("capture", "showicon", &showIcon, 1), S_OK);
    EXPECT_EQ(showIcon, 0);

    // A stored value of another size is not taken; the preset or default stays.
    const uint32_t record[3] = {21073, 'Q', 0};
    ASSERT_EQ(prefs.Write("Capture", "WindowHotkey", &zero, 1), S_OK);
    ASSERT_EQ(prefs.Write("Capture", "RegionHotkey", record, 12), S_OK);
    ASSERT_EQ(prefs.Write("Mail", "SendSecure", &zero, 1), S_OK);
    // Smaller than the buffer: the registry would fill one byte of twelve.
    uint32_t preset[3] = {0, 'W', 0};
    EXPECT_EQ(prefs.Read("Capture", "WindowHotkey", preset, 12), E_FAIL);
    EXPECT_EQ(preset[1], uint32_t('W'));
    EXPECT_EQ(preset[0], 0u);
    // Larger than the buffer fails as well; the right size reads.
    uint8_t small = 9;
    EXPECT_EQ(prefs.Read("Capture", "RegionHotkey", &small, 1), E_FAIL);
    EXPECT_EQ(small, 9);
    EXPECT_EQ(prefs.Read("Capture", "RegionHotkey", preset, 12), S_OK);
    EXPECT_EQ(std::memcmp(preset, record, 12), 0);
    int32_t secure = 5;
    EXPECT_EQ(prefs.Read("Mail", "SendSecure", &secure, 4), S_OK);
    EXPECT_EQ(secure, 1);
}

TEST_F(Prefs, AUserWhoCannotWriteTheMachineKeyReadsDefaultsAndWritesNothing) {
    {
        auto reg = NewRegistry();  // the machine hive exists, owned by root
        HKEY h = 0;
        ASSERT_EQ(reg->CreateKey(HKEY_LOCAL_MACHINE, kAddOnKey, KEY_ALL_ACCESS, &h), 0);
    }
    OpenToNobody();
    ASSERT_EQ(chown(Path("config").c_str(), 65534, 65534), 0);
    const int r = RunAsNobody([] {
        auto reg = OpenRegistry();
        NVPrefs prefs(*reg);
        if (prefs.Open() != HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) || prefs.blnOpen()) return 1;
        uint8_t b = 0, preset = 1;
        if (prefs.Read("Help", "ShowToolbar", &b, 1) != S_OK || b != 1) return 2;
        if (prefs.Read("Capture", "ShowIcon", &preset, 1) != E_FAIL || preset != 1) return 3;
        if (prefs.Write("Capture", "ShowIcon", &b, 1) != E_FAIL) return 4;
        return 0;
    });
    EXPECT_EQ(r, 0);
    // The user's root was made before the machine key failed; no value was.
    const std::string userHive = ReadText(strUserHivePath());
    EXPECT_NE(userHive.find("[HKEY_CURRENT_USER\\Software\\Notavex\\Annotator\\1.0]"),
              std::string::npos);
    EXPECT_EQ(userHive.find("ShowIcon"), std::string::npos);
}

}  // namespace
}  // namespace twtest
