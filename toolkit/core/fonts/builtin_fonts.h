// The two fonts built into the toolkit, "SIMPLEX.SHX" and "GDT.SHX": shape fonts over the
// initialisation data, the fallbacks of text drawing when no font file is found.
#pragma once

namespace tracemill {

// Their places in the system context's builtinFonts.
inline constexpr int kBuiltinSimplexFont = 0;
inline constexpr int kBuiltinGdtFont = 1;

inline constexpr int kErrorBuiltinFontsNoMemory = 293;  // a font record cannot be allocated
inline constexpr int kErrorBuiltinFontsInvalid = 294;   // the init data's font data is unusable

// Creates both fonts in the system context from its init data. 1 on success; 0 with error
// 293 (error callback with 2) when memory is short, 294 when an index entry points outside
// its font's data; nothing is kept on failure.
int genCreateBuiltinFonts();

// Frees both fonts.
void genFreeBuiltinFonts();

} // namespace tracemill
