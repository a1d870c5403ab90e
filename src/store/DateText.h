#pragma once

#include "DateTime.h"

#include <string>

namespace lynkora {

struct DateParts {
    int year, month, day;       // month 1..12
    int hour, minute, second;   // milliseconds dropped
    int dayOfWeek;              // 0 Sunday .. 6 Saturday
};

// Splits a date: the whole days count from 1899-12-30 (towards zero), the fraction (its
// magnitude, for dates before that day too) is the time of day.
DateParts DecodeDateTime(TDateTime date);

// The user's locale, for dates not printed in the fixed English form.
class DateLocale {
public:
    virtual ~DateLocale() = default;
    // The locale's long date form of the day, or empty.
    virtual std::string LongDate(int year, int month, int day) const = 0;
    // The locale's abbreviated month name (month 1..12).
    virtual std::string MonthAbbreviation(int month) const = 0;
    // The order of the long date: 0 month first, 1 day first, 2 year first.
    virtual int LongDateOrder() const = 0;
};

// "Saturday, February 03, 2001, 14:05:09" in English, else the locale's long date and the time.
std::string LongDateText(bool english, TDateTime date, const DateLocale* locale);
// "Feb 03, 2001, 14:05:09" in English, else the locale's month abbreviation in its date order.
std::string ShortDateText(bool english, TDateTime date, const DateLocale* locale);

} // namespace lynkora
