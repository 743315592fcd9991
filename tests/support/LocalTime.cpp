#include "LocalTime.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <stdexcept>

namespace twtest {

std::chrono::system_clock::time_point LocalTime(int iYear, int iMonth, int iDay, int iHour,
                                                int iMinute) {
    std::tm t{};
    t.tm_year = iYear - 1900;
    t.tm_mon = iMonth - 1;
    t.tm_mday = iDay;
    t.tm_hour = iHour;
    t.tm_min = iMinute;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

void SetModified(const std::filesystem::path& file, std::chrono::system_clock::time_point dat) {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(dat.time_since_epoch()).count();
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ns / 1000000000;
    times[0].tv_nsec = times[1].tv_nsec = ns % 1000000000;
    if (utimensat(AT_FDCWD, file.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + file.string());
}

}  // namespace twtest
