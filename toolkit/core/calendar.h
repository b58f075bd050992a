// The calendar form of stored dates: a stored date is a Julian day number and the
// milliseconds since midnight (HeaderDate).
#pragma once

#include <cstdint>

#include "toolkit/core/header_block.h"

namespace tracemill {

struct DateParts {
    int day = 0;
    int month = 0;
    int year = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    friend bool operator==(const DateParts&, const DateParts&) = default;
};

struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// The Julian day number of a date of the Gregorian calendar.
int32_t dbJulianDay(int day, int month, int year);

// The inverse of dbJulianDay.
void dbCalendarDate(int32_t julianDay, int& day, int& month, int& year);

// Splits milliseconds since midnight into hours, minutes, whole seconds and the milliseconds
// left over (the seconds are truncated, so the parts add up to the value).
TimeOfDay dbTimeOfDay(uint32_t milliseconds);

// The parts of a stored date; the null date (both words 0) gives 1 January 1990, 0:00:00.
DateParts dbDateToParts(const HeaderDate& date);

// The stored date of the parts; all six zero give the null date.
HeaderDate dbPartsToDate(const DateParts& parts);

// Takes a stored date as the local time of the process's time zone (TZ) and writes it back
// as UTC, milliseconds kept. 1, or 0 with the date unchanged for the null date and for a date
// the C library cannot place in time.
int dbDateLocalToUtc(HeaderDate& date);

} // namespace tracemill
