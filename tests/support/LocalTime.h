// Local dates for tests, and setting a file's modification time.
#pragma once

#include <chrono>
#include <filesystem>

namespace twtest {

// A local date and time (the time zone of the test run, DST as it falls).
std::chrono::system_clock::time_point LocalTime(int iYear, int iMonth, int iDay, int iHour,
                                                int iMinute);
// Sets access and modification time; throws when the host refuses.
void SetModified(const std::filesystem::path& file, std::chrono::system_clock::time_point dat);

}  // namespace twtest
