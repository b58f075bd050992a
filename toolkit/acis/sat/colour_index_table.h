// The kernel's colour-index table: 256 red, green, blue triples (0 to 255) for the indexed
// colour attributes. It starts black, red, yellow, green, cyan, blue, magenta, white; 8 and 9
// are greys, 10 to 249 run through 24 hues in steps of 15 degrees, ten shades each (full
// colour and a paler one at the brightness 1, 0.8, 0.6, 0.5 and 0.3), and 250 to 255 are
// greys from dark to white.
#pragma once

#include <array>
#include <cstdint>

namespace tracemill {

using ColourTriple = std::array<uint8_t, 3>;

const std::array<ColourTriple, 256>& acisColourIndexTable();

} // namespace tracemill
