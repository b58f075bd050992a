// Lineweights: the codes entities and layers carry (hundredths of a millimetre, or -1 BYLAYER,
// -2 BYBLOCK, -3 DEFAULT) as widths in millimetres and in drawing units for the display.
#pragma once

#include <array>
#include <cstdint>

namespace tracemill {

struct Drawing;

// The 26 standard lineweights; their positions 1 to 26 here index the lineweight table of a
// plot style table, position 0 standing for every other code.
inline constexpr std::array<int16_t, 26> kStandardLineweights = {5,  9,  10, 13, 15,  18,  20,  25,  30,
                                                                 35, 40, 45, 50, 53,  60,  65,  70,  80,
                                                                 90, 100, 106, 120, 140, 158, 200, 211};

// The position of a code among the standard lineweights (1-26), 0 for any other code.
int dbLineweightPosition(int32_t code);

// The width in millimetres: with a plot style table attached to the drawing's display, the
// table's lineweight at the code's position; otherwise code / 100 for a standard code and 0
// for any other. Always 1.
int dbLineweightToMm(const Drawing* drawing, int32_t code, double& out);

// The width in drawing units. When the display shows a paper-space layout, by its plot paper
// units: inches (0) mm / 25.4 and millimetres (1) mm, both times the display's paper scale;
// other units mm times the output hook table's factor for other units. In model space mm times
// the output hook table's lineweight factor when it is not negative, else mm.
double dbLineweightToDrawingUnits(const Drawing* drawing, int32_t code);

} // namespace tracemill
