// Face names that drawings commonly name but Debian does not install, each with the faces that
// stand in for it, best first (docs/host-fonts.md lists them).
#pragma once

#include <span>
#include <string_view>

#include "toolkit/core/true_type_lookup.h"

namespace tracemill {

struct FontSubstitution {
    std::string_view face;
    std::span<const std::string_view> standIns;
};

std::span<const FontSubstitution> dbFontSubstitutions();

// Replaces the request's face name (family) by the first installed stand-in of its row: true
// when it did.
bool dbSearchAltFontNames(TrueTypeLookup& request);

} // namespace tracemill
