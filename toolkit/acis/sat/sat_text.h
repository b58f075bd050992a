// SatText: the items of one SAT text held in a contiguous buffer. Integers and floats in the
// forms that formatted stream extraction accepts (read without the locale), words (runs of
// characters up to white space), counted strings, tokens ("$n", "-n" or a word) and single
// characters.
//
// A read that cannot take its item (the end of the text, a number that is not one) fails
// and leaves the text where it was; the failure sticks, so that later reads fail as well,
// until the caller clears it at the end of a record. The characters '{', '}' and '#' frame
// subtype blocks and records: no number, word or token is read from them, so that a record
// cut short never swallows the frame of a block or the '#' that ends it. The raw readers
// (nextChar, peekChar, skipFrameWord) ignore a failure: they find the frame again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tracemill {

struct SatToken {
    enum Kind : uint8_t {
        None,    // the end of the text, or a frame character ('{', '}', '#')
        Word,    // `word`
        Dash,    // '-' and the integer that follows it: a sequence number
        Dollar,  // '$' and the integer that follows it: a reference
    };
    Kind kind = None;
    std::string_view word;
    int64_t number = 0;
};

class SatText {
public:
    explicit SatText(std::string_view text) : mBegin(text.data()), mPos(text.data()), mEnd(text.data() + text.size()) {}

    size_t size() const { return size_t(mEnd - mBegin); }
    size_t position() const { return size_t(mPos - mBegin); }
    size_t remaining() const { return size_t(mEnd - mPos); }
    // True when nothing but white space is left.
    bool atEnd();

    bool failed() const { return mFailed; }
    void clearFailure() { mFailed = false; }

    bool readInteger(int32_t& value);
    bool readDouble(double& value);
    bool readWord(std::string_view& word);
    // An integer n, then n characters: the first after white space, the rest as they come. A
    // count beyond the text takes what is left and fails.
    bool readCountedString(std::string_view& text);
    SatToken readToken();

    // The next character after white space, consumed (nextChar) or left (peekChar); false at
    // the end of the text.
    bool nextChar(char& c);
    bool peekChar(char& c);
    // The next character as it stands, white space included; false at the end.
    bool rawChar(char& c);
    // Passes over white space and then a run of characters up to white space or a frame
    // character.
    void skipFrameWord();

private:
    void skipSpace();
    bool fail() {
        mFailed = true;
        return false;
    }
    // Skips white space; false (failing) at the end of the text or at a frame character.
    bool startItem();

    const char* mBegin;
    const char* mPos;
    const char* mEnd;
    bool mFailed = false;
};

// White space as the C locale knows it.
inline bool isSatSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool isSatFrame(char c) { return c == '{' || c == '}' || c == '#'; }

} // namespace tracemill
