// A file system over temporary drive folders: C: and E: writable, E: with
// an optional simulated capacity, R: write-protected.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/fs/FileSystem.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace twtest {

class FsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(mC);
        std::filesystem::create_directories(mE);
        std::filesystem::create_directories(mR);
        MakeFs(std::nullopt);
    }

    void MakeFs(std::optional<uint64_t> eCapacity) {
        platform::fs::DriveTable table;
        table.drives.push_back({'C', mC, 2, "SYSTEM", "", std::nullopt, false});
        table.drives.push_back({'E', mE, 1, "BACKUP01", "", eCapacity, false});
        table.drives.push_back({'R', mR, 4, "DISC", "", std::nullopt, true});
        mFs = platform::fs::FileSystem::Create(table);
    }

    // The RtError number fn throws, 0 when it throws none.
    static int32_t ErrOf(const std::function<void()>& fn) {
        try {
            fn();
        } catch (const platform::RtError& e) {
            return e.Number();
        }
        return 0;
    }

    TempDir mTmp;
    std::filesystem::path mC = mTmp / "c";
    std::filesystem::path mE = mTmp / "e";
    std::filesystem::path mR = mTmp / "r";
    std::shared_ptr<platform::fs::FileSystem> mFs;
};

// Runs fn in a child process that dropped to nobody; returns the RtError
// number it failed with (0 for none, -1 for a child that did not report).
int32_t ErrAsNobody(const std::function<void()>& fn);

}  // namespace twtest
