// Every location of the annotator's services in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/Registry.h"
#include "tests/support/AsNobody.h"
#include "tests/support/TempDir.h"

namespace twtest {

class WinFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const std::string& rel) const { return (mTmp / rel).string(); }
    std::unique_ptr<platform::win::Registry> NewRegistry() const;
    // Lets user 65534 reach the folders (mkdtemp makes them 0700).
    void OpenToNobody() const;

    static std::string ReadText(const std::string& path);
    static void WriteText(const std::string& path, const std::string& text);
    // The stand-in library's call log, a call a line.
    std::vector<std::string> LogLines() const;
    // Waits up to the limit for the condition.
    static bool blnEventually(const std::function<bool()>& condition, int lngLimitMs = 5000);
    // Restores the variable in TearDown; set it freely after.
    void SaveEnv(const char* name);

    TempDir mTmp;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> mSavedEnv;
};

}  // namespace twtest
