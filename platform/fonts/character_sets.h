// The character sets a TrueType request names (bits 8-15 of its parameters): the toolkit's code
// page that decodes its bytes, and the language fontconfig checks a face against.
#pragma once

#include <cstdint>

namespace tracemill {

inline constexpr int kCharacterSetAnsi = 0;
inline constexpr int kCharacterSetSymbol = 2;

// The toolkit's code-page number of a character set, -1 for the symbol set and sets without one.
int characterSetCodePage(int characterSet);

// The fontconfig language a face must cover for the character set, null for none.
const char* characterSetLanguage(int characterSet);

// Turns the bytes of text in a character set into characters, one byte per call: a lead byte
// of a double-byte code page is kept until the next byte, which completes the character when
// it is a trail byte of the page (else the kept byte is dropped and the byte stands alone).
// Single bytes above 0x7F are converted through the set's code page; the symbol set keeps its
// codes. Returns false while a lead byte waits (nothing is to be drawn).
class CharacterDecoder {
public:
    bool decode(int characterSet, uint16_t code, uint32_t& character);

private:
    uint8_t pendingLead_ = 0;
};

} // namespace tracemill
