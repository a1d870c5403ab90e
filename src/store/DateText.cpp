#include "DateText.h"

#include <cmath>
#include <cstdio>

namespace lynkora {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

std::string Format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string TimeSuffix(const std::string& datePart, const DateParts& p) {
    return Format("%s, %2.2d:%2.2d:%2.2d", datePart.c_str(), p.hour, p.minute, p.second);
}

std::string EnglishLong(const DateParts& p) {
    return Format("%s, %s %2.2d, %d, %2.2d:%2.2d:%2.2d", kDays[p.dayOfWeek], kMonths[p.month - 1],
                  p.day, p.year, p.hour, p.minute, p.second);
}

} // namespace

DateParts DecodeDateTime(TDateTime date) {
    DateParts p{};
    if (!std::isfinite(date) || std::fabs(date) > 3.0e6) // outside years 1..9999: no calendar
        date = 0;
    const auto days = static_cast<long long>(std::trunc(date));
    long long ms = std::llround(std::fabs(date - std::trunc(date)) * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    // Civil date from days since 1970-01-01 (proleptic Gregorian).
    long long z = days - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    p.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    p.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    p.year = static_cast<int>(yoe + era * 400 + (p.month <= 2 ? 1 : 0));
    p.dayOfWeek = static_cast<int>(((days + 6) % 7 + 7) % 7); // 1899-12-30 was a Saturday
    return p;
}

std::string LongDateText(bool english, TDateTime date, const DateLocale* locale) {
    const DateParts p = DecodeDateTime(date);
    if (english || !locale)
        return EnglishLong(p);
    const std::string local = locale->LongDate(p.year, p.month, p.day);
    if (local.empty())
        return EnglishLong(p);
    return TimeSuffix(local, p);
}

std::string ShortDateText(bool english, TDateTime date, const DateLocale* locale) {
    const DateParts p = DecodeDateTime(date);
    if (english || !locale)
        return Format("%.3s %2.2d, %d, %2.2d:%2.2d:%2.2d", kMonths[p.month - 1], p.day, p.year,
                      p.hour, p.minute, p.second);
    const std::string month = locale->MonthAbbreviation(p.month);
    const std::string day = std::to_string(p.day);
    const std::string year = std::to_string(p.year);
    std::string datePart;
    switch (locale->LongDateOrder()) {
    case 0:
        datePart = month + " " + day + ", " + year;
        break;
    case 1:
        datePart = day + " " + month + ", " + year;
        break;
    case 2:
        datePart = year + ", " + month + " " + day;
        break;
    default:
        break;
    }
    return TimeSuffix(datePart, p);
}

} // namespace lynkora
