#include "toolkit/core/calendar.h"

#include <ctime>

namespace tracemill {

int32_t dbJulianDay(int day, int month, int year) {
    int64_t m, y;
    if (month > 2) {
        m = month - 3;
        y = year;
    } else {
        m = month + 9;
        y = year - 1;
    }
    const int64_t c = y / 100;
    const int64_t r = y - 100 * c;
    return int32_t(146097 * c / 4 + 1461 * r / 4 + (153 * m + 2) / 5 + day + 1721119);
}

void dbCalendarDate(int32_t julianDay, int& day, int& month, int& year) {
    const int64_t j = 4 * (int64_t(julianDay) - 1721119);
    const int64_t c = (j - 1) / 146097;
    const int64_t d = (j - 146097 * c - 1) / 4;
    const int64_t r = (4 * d + 3) / 1461;
    const int64_t e = (4 * d - 1461 * r + 7) / 4;
    const int64_t m = (5 * e - 3) / 153;
    day = int((5 * e - 153 * m + 2) / 5);
    year = int(100 * c + r);
    if (m < 10) {
        month = int(m + 3);
    } else {
        month = int(m - 9);
        ++year;
    }
}

TimeOfDay dbTimeOfDay(uint32_t milliseconds) {
    TimeOfDay t;
    t.milliseconds = int(milliseconds % 1000);
    uint32_t seconds = milliseconds / 1000;
    t.hours = int(seconds / 3600);
    seconds %= 3600;
    t.minutes = int(seconds / 60);
    t.seconds = int(seconds % 60);
    return t;
}

DateParts dbDateToParts(const HeaderDate& date) {
    if (date.day == 0 && date.milliseconds == 0) return DateParts{1, 1, 1990, 0, 0, 0};
    DateParts parts;
    dbCalendarDate(int32_t(date.day), parts.day, parts.month, parts.year);
    const TimeOfDay t = dbTimeOfDay(date.milliseconds);
    parts.hours = t.hours;
    parts.minutes = t.minutes;
    parts.seconds = t.seconds;
    return parts;
}

HeaderDate dbPartsToDate(const DateParts& parts) {
    if (parts == DateParts{}) return HeaderDate{};
    HeaderDate date;
    date.day = uint32_t(dbJulianDay(parts.day, parts.month, parts.year));
    date.milliseconds =
        uint32_t(((int64_t(parts.hours) * 60 + parts.minutes) * 60 + parts.seconds) * 1000);
    return date;
}

int dbDateLocalToUtc(HeaderDate& date) {
    if (date == HeaderDate{}) return 0;
    int day = 0, month = 0, year = 0;
    dbCalendarDate(int32_t(date.day), day, month, year);
    const uint32_t seconds = date.milliseconds / 1000;
    const uint32_t subSecond = date.milliseconds % 1000;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = int(seconds / 3600);
    local.tm_min = int(seconds / 60 % 60);
    local.tm_sec = int(seconds % 60);
    local.tm_isdst = -1; // the zone's rules say whether daylight saving applies
    local.tm_wday = -1;  // stays -1 only when mktime fails (-1 is also a valid time)
    const std::time_t instant = std::mktime(&local);
    std::tm utc{};
    if (local.tm_wday < 0 || !gmtime_r(&instant, &utc)) return 0;
    date = dbPartsToDate(
        DateParts{utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec});
    date.milliseconds += subSecond;
    return 1;
}

} // namespace tracemill
