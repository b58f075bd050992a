#include "app/shell/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "app/render/devices/device_number_format.h"

namespace tracemill {

namespace {

char decimalSeparator = '.';

// printf's "%-.<decimals>f" in the C locale.
std::string fixedText(double value, int decimals) {
    std::string text;
    render::AppendFixed(text, value, decimals);
    return text;
}

std::string withSeparator(std::string text) {
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// For decimal text that from_chars found out of range: whether its magnitude lies below
// the doubles (rather than above them). The first non-zero digit of the mantissa and the
// exponent place the number; every out-of-range number is far from 1 either way.
bool magnitudeIsTiny(std::string_view number) {
    const size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        bool negative = false;
        if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
            negative = digits[0] == '-';
            digits.remove_prefix(1);
        }
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        if (result.ec == std::errc::result_out_of_range) return negative;
        if (negative) exponent = -exponent;
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return true;
    const long long place = first < point ? (long long)(point - first) - 1 : -(long long)(first - point);
    return place + exponent < 0;
}

struct Fraction {
    double whole = 0;
    int64_t numerator = 0;
    int64_t denominator = 1;
};

// a >= 0; the remainder of `a` in 2^precision parts, rounded half up and carried into the
// whole number when it rounds to a whole part.
Fraction roundFraction(double a, int precision) {
    Fraction f;
    f.whole = std::floor(a);
    if (precision < 1) return f;
    f.denominator = int64_t(1) << std::min(precision, 30);
    f.numerator = int64_t(double(f.denominator) * (a - f.whole) + 0.5);
    if (f.numerator >= f.denominator) {
        f.whole += 1;
        f.numerator = 0;
    }
    while (f.numerator != 0 && f.numerator % 2 == 0) {
        f.numerator /= 2;
        f.denominator /= 2;
    }
    return f;
}

std::string fractionText(const Fraction& f) {
    std::string text = fixedText(f.whole, 0);
    if (f.numerator != 0) text += ' ' + std::to_string(f.numerator) + '/' + std::to_string(f.denominator);
    return text;
}

} // namespace

char GetDecimalSeparator() { return decimalSeparator; }

void SetDecimalSeparator(char separator) { decimalSeparator = separator ? separator : '.'; }

bool ParseNumber(std::string_view text, double& value) {
    if (text.empty()) return false;
    std::string copy(text);
    std::replace(copy.begin(), copy.end(), decimalSeparator, '.');
    std::string_view number(copy);
    while (!number.empty() && isBlank(number.front())) number.remove_prefix(1);
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        if (number.empty() || !(isDigit(number.front()) || number.front() == '.')) return false;
    }
    // Decimal numbers only: no infinity, NaN or hexadecimal form.
    if (number.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return false;
    double parsed = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ptr != number.data() + number.size()) return false;
    if (result.ec == std::errc::result_out_of_range) {
        if (!magnitudeIsTiny(number.front() == '-' ? number.substr(1) : number)) return false;
        parsed = number.front() == '-' ? -0.0 : 0.0;
    } else if (result.ec != std::errc() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

std::string FormatNumber(double value, int decimals) { return withSeparator(fixedText(value, decimals)); }

std::string FormatEngineeringLength(double inches, int decimals) {
    const bool negative = inches < 0;
    const double a = std::fabs(inches);
    double feet = std::floor(a / 12);
    std::string inchText = fixedText(a - feet * 12, decimals);
    double shown = 0;
    std::from_chars(inchText.data(), inchText.data() + inchText.size(), shown);
    if (shown >= 12) {
        feet += 1;
        inchText = fixedText(0, decimals);
    }
    std::string text = withSeparator(fixedText(feet, 0) + "'-" + inchText + '"');
    return negative ? '-' + text : text;
}

std::string FormatFractionalLength(double value, int precision) {
    const std::string text = fractionText(roundFraction(std::fabs(value), precision));
    return value < 0 ? '-' + text : text;
}

std::string FormatArchitecturalLength(double inches, int precision) {
    const double a = std::fabs(inches);
    double feet = std::trunc(a / 12);
    Fraction f = roundFraction(a - feet * 12, precision);
    if (f.whole >= 12) {
        feet += 1;
        f = Fraction{};
    }
    return (inches < 0 ? "-" : "") + fixedText(feet, 0) + "'-" + fractionText(f) + '"';
}

std::string FormatFileSize(int64_t size) {
    if (size <= 1024) return std::to_string(size) + " Bytes";
    double amount = double(size) / 1024;
    if (amount <= 1024) return fixedText(amount, 2) + " KB";
    amount /= 1024;
    if (amount <= 1024) return fixedText(amount, 2) + " MB";
    return fixedText(amount / 1024, 2) + " GB";
}

} // namespace tracemill
