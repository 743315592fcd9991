// The stand-in component library through the registration tool, activation
// by ProgID, and its exports loaded by name.
#include <unistd.h>

#include "annotator/src/NVComCapture.h"
#include "platform/win/Component.h"
#include "platform/win/Locations.h"
#include "platform/win/Process.h"
#include "tests/platform_win/WinFixture.h"

using namespace platform::win;

namespace twtest {
namespace {

class Components : public WinFixture {
  protected:
    std::string Library() const { return strJoin(strProgramFolder(), "notavex.dll"); }
    int Regsvr32(const std::string& args) {
        int32_t code = -1;
        return blnRunAndWait("Regsvr32.exe " + args, &code) ? code : -1;
    }
    std::vector<std::string> Calls() {
        auto lines = LogLines();
        std::remove(Path("calls.log").c_str());
        return lines;
    }
};

TEST_F(Components, ActivationByProgIDWorksAfterRegistrationAndFailsAfterUnregistration) {
    auto reg = NewRegistry();
    ComRuntime com(*reg);
    CLSID clsid;
    EXPECT_EQ(com.CLSIDFromProgID(kCaptureProgID, &clsid), CO_E_CLASSSTRING);

    // Registered from the programs' folder by a relative name, it still
    // records where it lies.
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir(strProgramFolder().c_str()), 0);
    const int registered = Regsvr32("/s ./notavex.dll");
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_EQ(registered, 0);
    ASSERT_EQ(com.CLSIDFromProgID("notavex.nvcomcapture.1", &clsid), S_OK);
    HKEY server = 0;
    ASSERT_EQ(reg->OpenKey(HKEY_CLASSES_ROOT, "CLSID\\" + strFromGuid(clsid) + "\\InprocServer32",
                           KEY_READ, &server),
              0);
    char path[4096] = {};
    uint32_t size = sizeof path;
    ASSERT_EQ(reg->QueryValue(server, "", nullptr, path, &size), 0);
    EXPECT_EQ(path, std::filesystem::canonical(Library()).string());
    INVComCapture* capture = nullptr;
    ASSERT_EQ(com.CreateInstance(clsid, IID_INVComCapture, reinterpret_cast<void**>(&capture)),
              S_OK);
    // The slots in their order: each call lands in the method of its name.
    EXPECT_EQ(capture->CaptureWindow(), S_OK);
    EXPECT_EQ(capture->CaptureRegion(), S_OK);
    EXPECT_EQ(capture->ShowOptions(), S_OK);
    EXPECT_EQ(capture->ShowPage(310), S_OK);
    EXPECT_EQ(capture->StartBrowser(), S_OK);
    void* other = nullptr;
    EXPECT_EQ(capture->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    capture->Release();
    {
        auto lib = Library::Load("notavex.dll");  // a bare name: the programs' folder first
        ASSERT_TRUE(lib);
        auto force = reinterpret_cast<DllEntryFn>(lib->Symbol("ForceRegisterClient"));
        ASSERT_NE(force, nullptr);
        force();
    }
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "DllRegisterServer", "DllGetClassObject " + strFromGuid(clsid),
                           "CreateInstance", "CaptureWindow", "CaptureRegion", "ShowOptions",
                           "ShowPage 310", "StartBrowser", "Release", "ForceRegisterClient"}));

    ASSERT_EQ(Regsvr32("/u /s \"" + Library() + "\""), 0);
    EXPECT_EQ(com.CLSIDFromProgID(kCaptureProgID, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(com.CreateInstance(clsid, IID_INVComCapture, reinterpret_cast<void**>(&capture)),
              REGDB_E_CLASSNOTREG);
    HKEY h = 0;
    EXPECT_EQ(reg->OpenKey(HKEY_CLASSES_ROOT, "Notavex.NVNote.1", KEY_READ, &h),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Calls(), std::vector<std::string>{"DllUnregisterServer"});

    EXPECT_EQ(Regsvr32("/s " + Path("missing.dll")), 3);
    EXPECT_EQ(Regsvr32("/s " + strJoin(strProgramFolder(), "libplatform_win.so")), 4);
    GUID g;
    EXPECT_TRUE(blnGuidFromString("{dfb2a75a-0a0c-4a73-94c5-88e495eab774}", &g));
    EXPECT_EQ(strFromGuid(g), "{DFB2A75A-0A0C-4A73-94C5-88E495EAB774}");
    EXPECT_FALSE(blnGuidFromString("{DFB2A75A-0A0C-4A73-94C5+88E495EAB774}", &g));
}

}  // namespace
}  // namespace twtest
