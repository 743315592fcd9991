// The capture component's client: a creation that fails is retried by the
// next command, and a component that hangs or fails never holds up the
// caller.
#include <atomic>
#include <future>

#include "annotator/src/CaptureClient.h"
#include "tests/annotator/AgentFixture.h"

using namespace platform::win;
using namespace std::chrono_literals;

namespace twtest {
namespace {

class Capture : public AgentFixture {
  protected:
    std::vector<std::string> maReports;
    std::mutex mReportsLock;
    CaptureClient::Report Reporter() {
        return [this](const std::string& s) {
            std::lock_guard lock(mReportsLock);
            maReports.push_back(s);
        };
    }
    std::vector<std::string> Reports() {
        std::lock_guard lock(mReportsLock);
        return maReports;
    }
};

TEST_F(Capture, AFailedCreationIsReportedAndTheNextCommandTriesAgain) {
    CaptureClient client(CaptureClient::RegistryCreator(), 5s, Reporter());
    client.Call(CaptureClient::Slot::CaptureWindow);
    ASSERT_TRUE(client.blnWaitIdle(5s));
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].find("could not be created (0x800401F3)"), std::string::npos);
    EXPECT_TRUE(LogLines().empty());

    RegisterStandin();
    client.Call(CaptureClient::Slot::CaptureRegion);
    ASSERT_TRUE(client.blnWaitIdle(5s));
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "CreateInstance");
    EXPECT_EQ(lines[2], "CaptureRegion");
    EXPECT_EQ(Reports().size(), 1u);
}

// A component whose CaptureWindow waits until the test lets it go and
// whose CaptureRegion fails.
class StuckCapture : public INVComCapture {
  public:
    explicit StuckCapture(std::shared_future<void> release) : mRelease(std::move(release)) {}
    HRESULT QueryInterface(const IID&, void**) override { return E_NOINTERFACE; }
    uint32_t AddRef() override { return ++mRefs; }
    uint32_t Release() override {
        const uint32_t n = --mRefs;
        if (n == 0) delete this;
        return n;
    }
    HRESULT GetTypeInfoCount(uint32_t*) override { return E_FAIL; }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_FAIL; }
    HRESULT GetIDsOfNames(const IID&, char**, uint32_t, uint32_t, int32_t*) override {
        return E_FAIL;
    }
    HRESULT Invoke(int32_t, const IID&, uint32_t, uint16_t, void*, void*, void*,
                   uint32_t*) override {
        return E_FAIL;
    }
    HRESULT CaptureWindow() override {
        mRelease.wait();
        return S_OK;
    }
    HRESULT CaptureRegion() override { return E_FAIL; }
    HRESULT Unused3() override { return S_OK; }
    HRESULT ShowOptions() override { return S_OK; }
    HRESULT ShowPage(int32_t) override { return S_OK; }
    HRESULT StartBrowser() override { return S_OK; }

  private:
    virtual ~StuckCapture() = default;
    std::shared_future<void> mRelease;
    std::atomic<uint32_t> mRefs{1};
};

TEST_F(Capture, AHangingCallIsReportedAndTheNextCommandStartsAfresh) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto created = std::make_shared<std::atomic<int>>(0);
    {
        CaptureClient client(
            [&] {
                return CaptureClient::Creator([released, created](INVComCapture** pp) {
                    ++*created;
                    *pp = new StuckCapture(released);
                    return S_OK;
                });
            },
            200ms, Reporter());
        const auto start = std::chrono::steady_clock::now();
        client.Call(CaptureClient::Slot::CaptureWindow);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);  // the caller goes on
        EXPECT_FALSE(client.blnWaitIdle(300ms));
        client.CheckHang();
        client.CheckHang();  // once per call
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_NE(Reports()[0].find("has not finished CaptureWindow"), std::string::npos);

        client.Call(CaptureClient::Slot::CaptureRegion);
        ASSERT_TRUE(client.blnWaitIdle(2s));
        EXPECT_EQ(*created, 2);
        ASSERT_EQ(Reports().size(), 2u);
        EXPECT_NE(Reports()[1].find("CaptureRegion failed (0x80004005)"), std::string::npos);
    }
    release.set_value();  // the worker left behind ends on its own
}

}  // namespace
}  // namespace twtest
