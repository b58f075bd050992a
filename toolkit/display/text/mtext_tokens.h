// The MTEXT reader: characters and the format codes of MTEXT (\F \H \Q \W \T \A \C \L \l \O
// \o \S \~ \P \U+ \M+, braces and the %% codes), the way spaces, line feeds and double-byte
// characters are taken, and the parts of a stacked fraction.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/display/text/mtext_format.h"
#include "toolkit/display/text/text_tokens.h"

namespace tracemill {

struct Drawing;

// The cursor of an MTEXT text with its codes switch (off: only line feeds, CR LF and tabs mean
// anything) and the drawing's code page.
struct MTextCursor : TextCursor {
    uint8_t interpretCodes = 1;
    int16_t codePage = 0;
    using TextCursor::TextCursor;
};

// The next token: a character (`code` non-zero, `inCodePage` 1 for a character of the code
// page), or a format code in `token` (code 0). 0 at the end of the text, where trailing spaces
// end it too. `format` gives the current fonts (big-font lead bytes, a TrueType font's
// character set, the unifont exception of the degree byte); null: none.
int genNextMTextToken(Drawing* drawing, MTextCursor& cursor, uint16_t symbolKind, uint16_t& code,
                      FormatToken& token, uint8_t& inCodePage, const MTextFormat* format);

// One character of a stacked fraction's part.
struct StackCharacter {
    uint16_t code = 0;
    uint8_t inCodePage = 1;
};

// Reads the parts of a stacked fraction after "\S": the top up to an unescaped '^', '/' or '#'
// (its separator, 0 when none), the bottom up to ';' or the end; the ';' is passed. Characters
// come from the plain reader.
void genReadStackParts(TextCursor& cursor, uint16_t symbolKind, std::vector<StackCharacter>& top,
                       std::vector<StackCharacter>& bottom, char& separator);

} // namespace tracemill
