#include "LocaleText.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

namespace platform {

namespace {

// A locale object for one category of the environment's locale, C when the
// environment names none that is installed.
class EnvLocale {
  public:
    explicit EnvLocale(int iMask) {
        mLocale = newlocale(iMask, "", static_cast<locale_t>(nullptr));
        if (!mLocale) mLocale = newlocale(iMask, "C", static_cast<locale_t>(nullptr));
    }
    ~EnvLocale() {
        if (mLocale) freelocale(mLocale);
    }
    EnvLocale(const EnvLocale&) = delete;
    EnvLocale& operator=(const EnvLocale&) = delete;

    std::string Item(nl_item item) const { return mLocale ? nl_langinfo_l(item, mLocale) : ""; }
    locale_t Get() const { return mLocale; }

  private:
    locale_t mLocale = nullptr;
};

}  // namespace

std::tm tmLocalTime(std::chrono::system_clock::time_point dat) {
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(dat));
    std::tm tmLocal{};
    localtime_r(&t, &tmLocal);
    return tmLocal;
}

int intHour12(const std::tm& tmLocal) {
    const int iHour12 = tmLocal.tm_hour % 12;
    return iHour12 == 0 ? 12 : iHour12;
}

std::string strGeneralDate(std::chrono::system_clock::time_point dat) {
    const std::tm tmLocal = tmLocalTime(dat);
    EnvLocale objLocale(LC_TIME_MASK);
    const std::string strFormat = objLocale.Item(D_FMT) + " " + objLocale.Item(T_FMT);
    char achBuffer[128];
    const std::size_t n =
        strftime_l(achBuffer, sizeof achBuffer, strFormat.c_str(), &tmLocal, objLocale.Get());
    return std::string(achBuffer, n);
}

std::string strMonthAbbreviation(int iMonth) {
    // Fixed, not the user's locale: the names go into folder names that a
    // restore must read back whatever the locale is then.
    static const char* const aMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (iMonth < 1 || iMonth > 12) return "";
    return aMonths[iMonth - 1];
}

std::string strThousandsSeparator() {
    EnvLocale objLocale(LC_NUMERIC_MASK);
    const std::string strSep = objLocale.Item(THOUSEP);
    return strSep.empty() ? "," : strSep;
}

std::string strDecimalPoint() {
    EnvLocale objLocale(LC_NUMERIC_MASK);
    const std::string strPoint = objLocale.Item(RADIXCHAR);
    return strPoint.empty() ? "." : strPoint;
}

}  // namespace platform
