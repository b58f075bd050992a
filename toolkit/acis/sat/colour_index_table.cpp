#include "toolkit/acis/sat/colour_index_table.h"

#include <cmath>

namespace tracemill {
namespace {

std::array<ColourTriple, 256> buildTable() {
    std::array<ColourTriple, 256> table{};
    const ColourTriple first[10] = {{0, 0, 0},     {255, 0, 0},     {255, 255, 0},   {0, 255, 0},   {0, 255, 255},
                                    {0, 0, 255},   {255, 0, 255},   {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};
    for (int i = 0; i < 10; ++i) table[size_t(i)] = first[i];
    const double brightness[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
    for (int hue = 0; hue < 24; ++hue) {
        // The fully saturated colour of the hue (hue * 15 degrees), channel by channel.
        double full[3];
        for (int c = 0; c < 3; ++c) {
            // The angle between the hue and the channel's peak (red 0, green 120, blue 240).
            const double distance = std::fabs(std::fmod(hue * 15.0 - c * 120.0 + 540.0, 360.0) - 180.0);
            full[c] = distance <= 60.0 ? 255.0 : distance >= 120.0 ? 0.0 : 255.0 * (120.0 - distance) / 60.0;
        }
        for (int shade = 0; shade < 5; ++shade) {
            ColourTriple& strong = table[size_t(10 + 10 * hue + 2 * shade)];
            ColourTriple& pale = table[size_t(11 + 10 * hue + 2 * shade)];
            for (int c = 0; c < 3; ++c) {
                strong[size_t(c)] = uint8_t(std::floor(full[c] * brightness[shade]));
                pale[size_t(c)] = uint8_t(std::floor((full[c] + (255.0 - full[c]) / 2.0) * brightness[shade]));
            }
        }
    }
    const uint8_t greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i) table[size_t(250 + i)] = {greys[i], greys[i], greys[i]};
    return table;
}

} // namespace

const std::array<ColourTriple, 256>& acisColourIndexTable() {
    static const std::array<ColourTriple, 256> table = buildTable();
    return table;
}

} // namespace tracemill
