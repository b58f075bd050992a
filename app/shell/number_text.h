// Numbers as the user types and reads them: decimal numbers with the user's decimal
// separator, lengths in feet and inches, and file sizes. Nothing here depends on the process
// locale: the separator is the one the application settings chose at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

// The process's decimal separator ('.' until the application settings set it). A NUL
// separator is taken as '.'.
char GetDecimalSeparator();
void SetDecimalSeparator(char separator);

// A finite decimal number ("1.5", "-2e3", "1,5" with ',' as the separator; the separator and
// '.' both serve as decimal point), leading white space and one '+' allowed, nothing after
// it. False, with `value` unchanged, for empty text, trailing characters, infinities, NaN,
// hexadecimal numbers and magnitudes beyond the range of a double; a magnitude below the
// smallest double gives a zero of its sign.
bool ParseNumber(std::string_view text, double& value);

// The value with `decimals` digits after the decimal separator ("-0" for -0.25 with none).
std::string FormatNumber(double value, int decimals);

// Feet, apostrophe, hyphen, inches with `decimals` digits and the inch sign: 30.5 with 2
// decimals gives 2'-6.50". Inches that round to 12 count as a foot.
std::string FormatEngineeringLength(double inches, int decimals);

// The whole number and the remainder as a reduced fraction of 2^precision parts: 6.5 with
// precision 4 gives "6 1/2"; precision below 1 gives the whole number alone. A remainder
// that rounds to a whole part is carried: 2.999 with precision 2 gives "3".
std::string FormatFractionalLength(double value, int precision);

// Feet, apostrophe, hyphen, the inches as a fractional length and the inch sign: 30.5 with
// precision 4 gives 2'-6 1/2". Inches that round to 12 count as a foot.
std::string FormatArchitecturalLength(double inches, int precision);

// "1024 Bytes", "1.00 KB", "1024.00 KB", "1.00 MB", ... (a unit up to 1024 of it).
std::string FormatFileSize(int64_t size);

} // namespace tracemill
