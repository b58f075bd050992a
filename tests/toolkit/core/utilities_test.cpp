// The small shared functions: names, hexadecimal text, dates, angles and vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <numbers>

#include "tests/support/time_zone.h"
#include "toolkit/core/calendar.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/hex_text.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/vector_utilities.h"

namespace tracemill {
namespace {

using test::TimeZone;


TEST(NameCompare, FoldsOnlyAsciiLettersAndTheFirstDifferenceDecides) {
    struct Case {
        const char* a;
        const char* b;
        int all;
        long n;
        int firstN;
    } cases[] = {
        {"Layer", "LAYER", 0, 5, 0},
        {"A", "b", -1, 1, -1},
        {"AB", "A", 1, 1, 0},
        {"A", "AB", -1, 2, -1},
        {"abc", "abd", -1, 2, 0},
        {"\xC4", "\xE4", -1, 1, -1},
        {"x", "y", -1, 0, 0},
        {"x", "y", -1, -3, 0},
        {"", "", 0, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(dbCompareNoCase(c.a, c.b), c.all);
        EXPECT_EQ(dbCompareNoCaseN(c.a, c.b, c.n), c.firstN);
    }
    EXPECT_EQ(dbCharCompareNoCase('q', 'Q'), 0);
    EXPECT_EQ(dbCharCompareNoCase('[', 'a'), -1) << "'[' is compared with 'a', not 'A'";
    EXPECT_EQ(dbCharCompareNoCase('Z', '_'), 1);
}

TEST(HexText, DigitsBytesAndHandles) {
    EXPECT_TRUE(dbIsHexDigit('f'));
    EXPECT_TRUE(dbIsHexDigit('F'));
    EXPECT_FALSE(dbIsHexDigit('g'));
    EXPECT_EQ(dbHexDigitValue('b'), 11);
    EXPECT_EQ(dbHexDigitValue('x'), 0);
    EXPECT_EQ(dbHexToBytes("0A1b"), (std::vector<uint8_t>{0x0A, 0x1B}));
    EXPECT_EQ(dbHexToBytes("ABC"), (std::vector<uint8_t>{0x0A, 0xBC})) << "odd count: first digit alone";
    EXPECT_TRUE(dbHexToBytes("").empty());
    EXPECT_EQ(dbHexToHandle("12F"), Handle(0x12F));
    EXPECT_EQ(dbHexToHandle("FFFFFFFFFFFFFFFF"), Handle(0xFFFFFFFFFFFFFFFFull));
    EXPECT_EQ(dbHexToHandle("123456789ABCDEF01"), Handle(0x123456789ABCDEF0ull)) << "16 digits at most";
    EXPECT_EQ(dbHexToHandle(""), Handle(0));
    EXPECT_EQ(dbHexToHandle("1x2"), Handle(0x102)) << "a character that is no digit counts as 0";
    // The handle is the bytes of dbHexToBytes right-aligned, for odd and even digit counts.
    for (const char* text : {"7", "A0", "abc", "0001", "10000", "FEDCBA987654321", "0123456789abcdef"}) {
        uint64_t value = 0;
        for (uint8_t byte : dbHexToBytes(text)) value = value << 8 | byte;
        EXPECT_EQ(dbHexToHandle(text), Handle(value)) << text;
        EXPECT_EQ(dbHexToHandle(dbHandleToHex(Handle(value))), Handle(value)) << text;
    }
}

TEST(DrawingAccessors, PreR12MeansAVersionBeforeAC1009OrTheFlag) {
    Drawing drawing;
    struct Case {
        int16_t versionIndex;
        int flag;
        int expected;
    } cases[] = {{kVersionAC1002, 0, 1}, {kVersionAC1006, 0, 1}, {kVersionAC1009, 0, 0},
                 {kVersionAC1015, 0, 0}, {kVersionAC1015, 1, 1}, {kVersionAC1009, 7, 1}};
    for (const Case& c : cases) {
        drawing.versionIndex = c.versionIndex;
        EXPECT_EQ(dbIsPreR12OrForced(&drawing, c.flag), c.expected) << c.versionIndex << " " << c.flag;
    }
}

TEST(Calendar, JulianDaysRoundTrip) {
    EXPECT_EQ(dbJulianDay(1, 1, 2000), 2451545);
    struct Case {
        int day, month, year;
    } cases[] = {{1, 1, 2000}, {29, 2, 2000}, {1, 3, 2000}, {31, 12, 1999}, {1, 1, 1990},
                 {28, 2, 1900}, {1, 3, 1900}, {15, 10, 1582}, {31, 12, 9999}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month) + "." + std::to_string(c.year));
        int day = 0, month = 0, year = 0;
        dbCalendarDate(dbJulianDay(c.day, c.month, c.year), day, month, year);
        EXPECT_EQ(day, c.day);
        EXPECT_EQ(month, c.month);
        EXPECT_EQ(year, c.year);
    }
    EXPECT_EQ(dbJulianDay(1, 3, 2000) - dbJulianDay(28, 2, 2000), 2) << "2000 is a leap year";
    EXPECT_EQ(dbJulianDay(1, 3, 1900) - dbJulianDay(28, 2, 1900), 1) << "1900 is not";
}

TEST(Calendar, TimeOfDayTruncatesTheSecondsAndKeepsTheRemainder) {
    EXPECT_EQ(dbTimeOfDay(3661500), (TimeOfDay{1, 1, 1, 500})) << "3,661.5 s: 1 h 1 min 1 s 500 ms";
    EXPECT_EQ(dbTimeOfDay(86399999), (TimeOfDay{23, 59, 59, 999}));
    EXPECT_EQ(dbTimeOfDay(0), (TimeOfDay{0, 0, 0, 0}));
}

TEST(Calendar, DatePartsAndTheNullDate) {
    EXPECT_EQ(dbDateToParts(HeaderDate{}), (DateParts{1, 1, 1990, 0, 0, 0}));
    EXPECT_EQ(dbPartsToDate(DateParts{}), HeaderDate{});
    const DateParts parts{24, 12, 2026, 13, 45, 30};
    const HeaderDate date = dbPartsToDate(parts);
    EXPECT_EQ(date.day, uint32_t(dbJulianDay(24, 12, 2026)));
    EXPECT_EQ(date.milliseconds, uint32_t((13 * 3600 + 45 * 60 + 30) * 1000));
    EXPECT_EQ(dbDateToParts(date), parts);
}

HeaderDate dateAt(const DateParts& parts, uint32_t milliseconds = 0) {
    HeaderDate date = dbPartsToDate(parts);
    date.milliseconds += milliseconds;
    return date;
}

TEST(Calendar, LocalDatesBecomeUtc) {
    struct Case {
        const char* zone;
        DateParts local;
        DateParts utc;
    };
    // The zones are POSIX rules, so the test needs no zone database.
    const char* central = "CET-1CEST,M3.5.0,M10.5.0/3";
    const char* eastern = "EST5EDT,M3.2.0,M11.1.0";
    const Case cases[] = {
        {"UTC0", {15, 7, 2020, 12, 34, 56}, {15, 7, 2020, 12, 34, 56}},
        {"UTC0", {1, 1, 1960, 0, 0, 0}, {1, 1, 1960, 0, 0, 0}},
        {central, {15, 1, 2020, 12, 0, 0}, {15, 1, 2020, 11, 0, 0}},
        {central, {15, 7, 2020, 12, 0, 0}, {15, 7, 2020, 10, 0, 0}},
        {central, {15, 7, 2020, 1, 30, 0}, {14, 7, 2020, 23, 30, 0}},
        {central, {1, 3, 2020, 0, 30, 0}, {29, 2, 2020, 23, 30, 0}},
        {central, {1, 1, 1960, 0, 30, 0}, {31, 12, 1959, 23, 30, 0}},
        {eastern, {15, 7, 2020, 22, 0, 0}, {16, 7, 2020, 2, 0, 0}},
        {eastern, {31, 12, 2020, 20, 15, 0}, {1, 1, 2021, 1, 15, 0}},
    };
    for (const Case& c : cases) {
        const TimeZone zone(c.zone);
        HeaderDate date = dateAt(c.local, 250);
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(date.day) + " " + std::to_string(date.milliseconds));
        EXPECT_EQ(dbDateLocalToUtc(date), 1);
        EXPECT_EQ(date, dateAt(c.utc, 250)) << "the milliseconds stay";
    }
    const TimeZone zone(central);
    HeaderDate none;
    EXPECT_EQ(dbDateLocalToUtc(none), 0);
    EXPECT_EQ(none, HeaderDate{}) << "the null date stays null";
}

TEST(Vectors, AngleOfADirection) {
    struct Case {
        const char* name;
        double x, y, angle;
    } cases[] = {
        {"positive x", 1, 0, 0},
        {"negative x", -1, 0, -std::numbers::pi},
        {"negative x, slightly up", -1, 0.0001, std::numbers::pi - 0.0001},
        {"negative x, slightly down", -1, -0.0001, -std::numbers::pi + 0.0001},
        {"up", 0, 2, std::numbers::pi / 2},
        {"zero vector", 0, 0, std::numbers::pi / 2},
        {"down", 0, -2, -std::numbers::pi / 2},
        {"diagonal", 1, 1, std::numbers::pi / 4},
        {"third quadrant", -1, -1, -3 * std::numbers::pi / 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(dbVectorAngle2d(c.x, c.y), c.angle, 1e-9);
    }
}

TEST(Vectors, OffHorizontalBetween15And165Degrees) {
    auto at = [](double degrees) {
        const double r = degrees * std::numbers::pi / 180;
        return dbIsOffHorizontal(Point2{1, 1}, Point2{1 + std::cos(r), 1 + std::sin(r)});
    };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(14.9), 0);
    EXPECT_EQ(at(15.1), 1);
    EXPECT_EQ(at(90), 1);
    EXPECT_EQ(at(164.9), 1);
    EXPECT_EQ(at(165.1), 0);
    EXPECT_EQ(at(180), 0);
    EXPECT_EQ(at(-90), 1);
    EXPECT_EQ(at(-14.9), 0);
}

TEST(Vectors, EllipseParametersAndNormals) {
    EXPECT_NEAR(dbEllipseParamToAngle(std::numbers::pi / 4, 0.5), std::atan2(0.5, 1.0), 1e-12);
    EXPECT_NEAR(dbEllipseAngleToParam(dbEllipseParamToAngle(1.0, 0.3), 0.3), 1.0, 1e-12);

    HomogeneousVector v{3, 0, 4, 7};
    dbNormalize3(v);
    EXPECT_EQ(v, (HomogeneousVector{0.6, 0, 0.8, 1}));
    HomogeneousVector zero{0, 0, 0, 5};
    dbNormalize3(zero);
    EXPECT_EQ(zero, (HomogeneousVector{0, 0, 0, 1})) << "a zero vector is left alone";
    EXPECT_EQ(dbCrossNormalized({2, 0, 0, 1}, {0, 3, 0, 1}), (HomogeneousVector{0, 0, 1, 1}));

    uint64_t mask = 0x0F;
    dbOrMask64(mask, 0xF000000000000000ull);
    EXPECT_EQ(mask, 0xF00000000000000Full);
}

TEST(Vectors, ArcCentreFromAChord) {
    struct Case {
        const char* name;
        Point2 p1, p2;
        double angle;
        Point2 centre;
        double radius;
    } cases[] = {
        {"half circle counter-clockwise", {1, 0}, {-1, 0}, std::numbers::pi, {0, 0}, 1},
        {"quarter counter-clockwise: centre left of the chord", {1, 0}, {0, 1}, std::numbers::pi / 2, {0, 0}, 1},
        {"quarter clockwise: centre right of the chord", {0, 1}, {1, 0}, -std::numbers::pi / 2, {0, 0}, 1},
        {"three quarters counter-clockwise", {1, 0}, {0, -1}, 3 * std::numbers::pi / 2, {0, 0}, 1},
        {"vertical chord", {5, 0}, {5, 2}, std::numbers::pi / 2, {4, 1}, std::sqrt(2.0)},
        {"horizontal chord", {0, 3}, {2, 3}, std::numbers::pi / 2, {1, 4}, std::sqrt(2.0)},
        {"zero angle: the chord's midpoint", {0, 0}, {4, 0}, 0, {2, 0}, 2},
        {"zero chord", {1, 1}, {1, 1}, 1, {1, 1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArcFromChord arc = dbArcCenterFromChord(c.p1, c.p2, c.angle);
        EXPECT_NEAR(arc.centre.x, c.centre.x, 1e-12);
        EXPECT_NEAR(arc.centre.y, c.centre.y, 1e-12);
        EXPECT_NEAR(arc.radius, c.radius, 1e-12);
    }
}

} // namespace
} // namespace tracemill
