// The host's TrueType services over fontconfig and FreeType: the font finder that turns a font
// file or face name into an installed face, and the glyph outline provider that gives the
// outline of one character as closed contours of line segments.
//
// The host starts them after the toolkit and installs both:
//     dbHostStartup();
//     dbSetFontFinder(dbTrueTypeFontLookup);
//     dbSetGlyphOutlineHook(GlyphOutlineProvider);
//     ...
//     dbHostShutdown();   // after dbTermToolkit, before dbDestroySystemContext
//
// A request names a face by file and family (`TrueTypeLookup`): name the font file or face,
// family the face, params bits 8-15 the character set, bit 24 italic, bit 25 bold. Faces are
// matched by fontconfig (family, weight, slant and the language of the character set); a face
// name that is not installed is tried under the names of a small substitution table
// (font_substitutions.h). Outlines are FreeType's own, unhinted, scaled so that the capital 'A'
// stands 1,000 units above the baseline.
#pragma once

#include <cstdint>

#include "toolkit/core/glyph_request.h"
#include "toolkit/core/true_type_lookup.h"

namespace tracemill {

// Starts fontconfig and FreeType and makes the face cache: 1, or 0 when either library
// cannot be started (nothing is then found). Shutting down releases everything.
int dbHostStartup();
void dbHostShutdown();

// Line segments per curve piece of an outline (4 at start-up): sets n when n >= 1; returns the
// previous count in any case.
int dbSetGlyphCurveSegments(int n);

// The font finder: fills in the face name (family) of an installed face that matches, or
// clears name and family when none does.
void dbTrueTypeFontLookup(TrueTypeLookup& request, void* hostContext);

// The glyph outline hook: fills request.outline with the character's outline, offset by the
// request's origin (left empty when the face or the glyph is not found, and for the first byte
// of a double-byte character, which the next call completes). Returns 0.
int GlyphOutlineProvider(GlyphRequest& request, void* hostContext);

} // namespace tracemill
