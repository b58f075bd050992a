#include "toolkit/acis/sat/sat_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace tracemill {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// For a number in [first, last) that from_chars found out of range: true when it is too small
// (it reads as zero, as stream extraction reads it), false when it is too large.
bool underflows(const char* first, const char* last) {
    const char* p = first;
    if (p < last && *p == '-') ++p;
    while (p < last && *p == '0') ++p;
    long long integerDigits = 0;
    for (; p < last && isDigit(*p); ++p) ++integerDigits;
    long long leadingZeros = 0;
    if (p < last && *p == '.') {
        ++p;
        if (integerDigits == 0) {
            for (; p < last && *p == '0'; ++p) ++leadingZeros;
        }
        while (p < last && isDigit(*p)) ++p;
    }
    long long exponent = 0;
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p < last && *p == '-';
        if (p < last && (*p == '-' || *p == '+')) ++p;
        for (; p < last && isDigit(*p); ++p) {
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        }
        if (negative) exponent = -exponent;
    }
    const long long order = (integerDigits > 0 ? integerDigits - 1 : -(leadingZeros + 1)) + exponent;
    return order < 0;
}

} // namespace

void SatText::skipSpace() {
    while (mPos < mEnd && isSatSpace(*mPos)) ++mPos;
}

bool SatText::atEnd() {
    skipSpace();
    return mPos == mEnd;
}

bool SatText::startItem() {
    skipSpace();
    if (mPos == mEnd || isSatFrame(*mPos)) return fail();
    return true;
}

bool SatText::readInteger(int32_t& value) {
    if (mFailed || !startItem()) return false;
    const char* p = mPos;
    if (*p == '+') ++p;
    const char* digits = (p < mEnd && *p == '-' && p == mPos) ? p + 1 : p;
    if (digits == mEnd || !isDigit(*digits)) return fail();
    int32_t number = 0;
    const std::from_chars_result r = std::from_chars(p, mEnd, number);
    if (r.ec != std::errc()) return fail();
    mPos = r.ptr;
    value = number;
    return true;
}

bool SatText::readDouble(double& value) {
    if (mFailed || !startItem()) return false;
    const char* p = mPos;
    if (*p == '+') ++p;
    // Digits or a point must follow the one sign: stream extraction reads no "inf" or "nan".
    const char* digits = (p < mEnd && *p == '-' && p == mPos) ? p + 1 : p;
    if (digits == mEnd || (!isDigit(*digits) && *digits != '.')) return fail();
    double number = 0.0;
    const std::from_chars_result r = std::from_chars(p, mEnd, number, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        if (!underflows(p, r.ptr)) return fail();
        number = *p == '-' ? -0.0 : 0.0;
    } else if (r.ec != std::errc()) {
        return fail();
    }
    mPos = r.ptr;
    value = number;
    return true;
}

bool SatText::readWord(std::string_view& word) {
    if (mFailed || !startItem()) return false;
    const char* start = mPos;
    while (mPos < mEnd && !isSatSpace(*mPos)) ++mPos;
    word = std::string_view(start, size_t(mPos - start));
    return true;
}

bool SatText::readCountedString(std::string_view& text) {
    int32_t count = 0;
    if (!readInteger(count)) return false;
    if (count < 0) return fail();
    text = {};
    if (count == 0) return true;
    skipSpace();
    const size_t taken = std::min(size_t(count), remaining());
    text = std::string_view(mPos, taken);
    mPos += taken;
    return taken == size_t(count) || fail();
}

SatToken SatText::readToken() {
    SatToken token;
    if (mFailed || !startItem()) return token;
    if (*mPos == '-' || *mPos == '$') {
        const char* p = mPos + 1;
        int64_t number = 0;
        const std::from_chars_result r = std::from_chars(p, mEnd, number);
        if (r.ec == std::errc::result_out_of_range) {
            number = *p == '-' ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        }
        if (r.ec == std::errc() || r.ec == std::errc::result_out_of_range) {
            token.kind = *mPos == '-' ? SatToken::Dash : SatToken::Dollar;
            token.number = number;
            mPos = r.ptr;
            return token;
        }
    }
    token.kind = SatToken::Word;
    readWord(token.word);
    return token;
}

bool SatText::nextChar(char& c) {
    if (!peekChar(c)) return false;
    ++mPos;
    return true;
}

bool SatText::peekChar(char& c) {
    skipSpace();
    if (mPos == mEnd) return false;
    c = *mPos;
    return true;
}

bool SatText::rawChar(char& c) {
    if (mPos == mEnd) return false;
    c = *mPos++;
    return true;
}

void SatText::skipFrameWord() {
    skipSpace();
    while (mPos < mEnd && !isSatSpace(*mPos) && !isSatFrame(*mPos)) ++mPos;
}

} // namespace tracemill
