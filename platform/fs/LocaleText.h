// The texts the system's locale gives dates and numbers: the general date
// format, month abbreviations, and the thousands and decimal separators.
// They come from the user's LC_TIME and LC_NUMERIC (as the environment sets
// them), read without changing the process's own locale.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace platform {

// Short date, a blank and the long time (D_FMT + " " + T_FMT), e.g.
// "12/07/26 14:47:05" in the C locale.
std::string strGeneralDate(std::chrono::system_clock::time_point dat);
// The local calendar time of dat, to the second.
std::tm tmLocalTime(std::chrono::system_clock::time_point dat);
// The hour of tmLocal on a 12-hour clock, 1..12.
int intHour12(const std::tm& tmLocal);
// "Jan" .. "Dec" in the C locale; iMonth is 1..12.
std::string strMonthAbbreviation(int iMonth);
// The grouping separator; "," where the locale has none (the C locale), so
// large numbers stay readable.
std::string strThousandsSeparator();
std::string strDecimalPoint();

}  // namespace platform
