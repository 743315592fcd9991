#include <gtest/gtest.h>

#include <thread>

#include "LibFixture.h"
#include "tarnwicklib/GlobalThings.h"
#include "tarnwicklib/ModuleErrors.h"

namespace {

using tarnwick::ErrorHandler;
using tarnwick::SharedData;

// Runs fn on a new thread, which has its own copy of the library's data.
template <typename Fn>
void OnFreshThread(Fn fn) {
    std::thread objThread(fn);
    objThread.join();
}

TEST(SharedDataTest, EverySharedDataSeesTheSameHandlerAndGlobalThings) {
    OnFreshThread([] {
        const auto datBefore = std::chrono::system_clock::now();
        SharedData objFirst;
        EXPECT_EQ(objFirst.objErrorHandler(), nullptr);  // the library never makes one
        ASSERT_NE(objFirst.objGlobalThings(), nullptr);
        EXPECT_GE(objFirst.datStartup(), datBefore);

        auto objHandler = std::make_shared<ErrorHandler>();
        objFirst.objErrorHandler(objHandler);
        SharedData objLater;
        EXPECT_EQ(objLater.objErrorHandler(), objHandler);
        EXPECT_EQ(objLater.objGlobalThings(), objFirst.objGlobalThings());
        EXPECT_EQ(objLater.datStartup(), objFirst.datStartup());
    });
    // The data belongs to the thread that stored it.
    EXPECT_NE(SharedData().objGlobalThings(), nullptr);
    EXPECT_EQ(SharedData().objErrorHandler(), nullptr);
}

TEST(SharedDataTest, ShutdownReleasesTheHandlerWhichTheErrorWrappersNeed) {
    OnFreshThread([] {
        auto objHandler = std::make_shared<ErrorHandler>();
        SharedData().objErrorHandler(objHandler);
        std::weak_ptr<tarnwick::GlobalThings> objThings = SharedData().objGlobalThings();

        tarnwick::TarnwickLibPublics().gShutdownTarnwickLib();
        EXPECT_EQ(SharedData().objErrorHandler(), nullptr);
        EXPECT_EQ(SharedData().objGlobalThings(), nullptr);
        EXPECT_TRUE(objThings.expired());
        EXPECT_EQ(objHandler.use_count(), 1);

        // Without the shared handler the library's error wrappers cannot work.
        const auto objErr =
            twtest::FailureOf([] { tarnwick::TwLibErrors().RaiseError("not reached"); });
        EXPECT_EQ(objErr.Number, platform::rt::kObjectNotSet);
        EXPECT_EQ(objErr.Description, "Object variable or With block variable not set");
    });
}

const char gchTestModuleTag = 0;

class ModuleErrorsFixture : public twtest::LibFixture {};

TEST_F(ModuleErrorsFixture, WrappersRecordBaseNameDotNameAndReadTheCurrentError) {
    const tarnwick::ModuleErrors objErrors(&gchTestModuleTag);
    try {
        try {
            try {
                objErrors.RaiseError("Own message");
            } catch (...) {
                objErrors.NestedError("Form.Inner");
            }
        } catch (...) {
            objErrors.SaveError();
            try {
                throw std::runtime_error("clean-up failed");
            } catch (...) {
            }
            objErrors.NestedError("Form.Outer");
        }
    } catch (...) {
        objErrors.TopError("Form.cmd_Click");
    }
    EXPECT_EQ(LastPrompt(),
              "The following error has occurred:\r\n\"Own message\"\r\n"
              "in tarnwicklib_test.Form.Inner\r\ncalled from tarnwicklib_test.Form.Outer\r\n"
              "called from tarnwicklib_test.Form.cmd_Click");
}

}  // namespace
