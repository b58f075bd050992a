#include "app/shell/number_text.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tracemill {
namespace {

// The tests run with ',' as the separator, the case where the separator and the C library's
// decimal point differ.
class Numbers : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GetDecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }

private:
    char saved_ = '.';
};

TEST_F(Numbers, ParseNumberAcceptsFiniteDecimalNumbersOnly) {
    struct Case {
        const char* text;
        bool accepted;
        double value;
    } const cases[] = {
        {"1,5", true, 1.5},
        {"1.5", true, 1.5},
        {"  -2,25", true, -2.25},
        {"\t+3", true, 3},
        {"1e3", true, 1000},
        {"-,5e-3", true, -0.0005},
        {",5", true, 0.5},
        {"5,", true, 5},
        {"0", true, 0},
        {"1e-400", true, 0}, // below the smallest double: zero, as the C library gives
        {"1,5,0", false, 0},
        {"", false, 0},
        {"1.5 mm", false, 0},
        {"1,5 ", false, 0},
        {"+-3", false, 0},
        {"-", false, 0},
        {"e5", false, 0},
        {"1e", false, 0},
        {"inf", false, 0},
        {"-inf", false, 0},
        {"INFINITY", false, 0},
        {"nan", false, 0},
        {"0x1p3", false, 0},
        {"0x10", false, 0},
        {"1e400", false, 0},
        {"-1e400", false, 0},
        {"1e99999999999999999999", false, 0},
        {"1e-99999999999999999999", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 42;
        EXPECT_EQ(ParseNumber(c.text, value), c.accepted);
        EXPECT_EQ(value, c.accepted ? c.value : 42) << "refused text leaves the value as it was";
    }
    double negativeTiny = 1;
    ASSERT_TRUE(ParseNumber("-1e-400", negativeTiny));
    EXPECT_TRUE(negativeTiny == 0 && std::signbit(negativeTiny));
}

TEST_F(Numbers, FormatNumberRoundsAsPrintfAndShowsTheSeparator) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    } const cases[] = {
        {2.5, 3, "2,500"},   {-0.25, 0, "-0"},     {1234.5678, 2, "1234,57"}, {0.125, 2, "0,12"},
        {2.675, 2, "2,67"},  {2.5, 0, "2"},        {3.5, 0, "4"},             {1e21, 0, "1000000000000000000000"},
        {-1.5, 4, "-1,5000"}, {7, -3, "7"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
}

TEST_F(Numbers, LengthsInFeetAndInches) {
    struct Case {
        const char* name;
        std::string text;
        const char* expected;
    } const cases[] = {
        {"engineering", FormatEngineeringLength(30.5, 2), "2'-6,50\""},
        {"engineering negative", FormatEngineeringLength(-30.5, 2), "-2'-6,50\""},
        {"engineering no decimals", FormatEngineeringLength(0, 0), "0'-0\""},
        {"engineering inches carried", FormatEngineeringLength(23.999, 2), "2'-0,00\""},
        {"engineering inches carried below a foot", FormatEngineeringLength(11.9999, 3), "1'-0,000\""},
        {"fraction", FormatFractionalLength(6.5, 4), "6 1/2"},
        {"fraction whole", FormatFractionalLength(6.0, 4), "6"},
        {"fraction negative", FormatFractionalLength(-0.75, 2), "-0 3/4"},
        {"fraction precision 0", FormatFractionalLength(6.5, 0), "6"},
        {"fraction sixteenths", FormatFractionalLength(0.1875, 4), "0 3/16"},
        {"fraction rounds down to whole", FormatFractionalLength(1.03, 4), "1"},
        {"fraction carried", FormatFractionalLength(2.999, 2), "3"},
        {"fraction carried negative", FormatFractionalLength(-2.999, 2), "-3"},
        {"architectural", FormatArchitecturalLength(30.5, 4), "2'-6 1/2\""},
        {"architectural negative", FormatArchitecturalLength(-30.5, 4), "-2'-6 1/2\""},
        {"architectural whole foot", FormatArchitecturalLength(12, 3), "1'-0\""},
        {"architectural inches carried", FormatArchitecturalLength(23.99, 2), "2'-0\""},
        {"architectural below an inch", FormatArchitecturalLength(0.5, 1), "0'-0 1/2\""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.name;
}

TEST_F(Numbers, FileSizes) {
    struct Case {
        int64_t size;
        const char* text;
    } const cases[] = {
        {0, "0 Bytes"},
        {-5, "-5 Bytes"},
        {1024, "1024 Bytes"},
        {1025, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048576, "1024.00 KB"},
        {1048577, "1.00 MB"},
        {int64_t(5) << 30, "5.00 GB"},
        {int64_t(1) << 50, "1048576.00 GB"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFileSize(c.size), c.text) << c.size;
}

TEST(DecimalSeparator, NulMeansPoint) {
    const char saved = GetDecimalSeparator();
    SetDecimalSeparator('\0');
    EXPECT_EQ(GetDecimalSeparator(), '.');
    double value = 0;
    EXPECT_TRUE(ParseNumber("2.5", value));
    EXPECT_EQ(value, 2.5);
    EXPECT_EQ(FormatNumber(2.5, 1), "2.5");
    SetDecimalSeparator(saved);
}

} // namespace
} // namespace tracemill
