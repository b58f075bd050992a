#include "toolkit/read/dwg13_header_section.h"

#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_lineweight.h"

namespace tracemill {
namespace {

// MEASUREMENT, R14 and 2000: locator 4 names a block that starts with a 16-bit distance to the
// value's byte. A block outside the file leaves the template's value.
void readMeasurement(std::span<const uint8_t> file, const Dwg13FileHeader& fileHeader, HeaderBlock& header) {
    if (fileHeader.versionIndex < kVersionAC1014 || fileHeader.locators.size() <= dwg13::kLocatorMeasurement)
        return;
    ByteCursor cursor(file, fileHeader.locators[dwg13::kLocatorMeasurement].position);
    const uint16_t distance = cursor.le16();
    if (!cursor.overrun() && cursor.skip(distance) && !cursor.atEnd()) header.measurement = cursor.u8();
}

} // namespace

void dwg13SplitHeaderFlags(uint32_t flags, HeaderBlock& header) {
    header.celweight = rdLineweightFromIndex(int(flags & 0x1F));
    header.endcaps = uint8_t((flags >> 5) & 3);
    header.joinstyle = uint8_t((flags >> 7) & 3);
    header.lwdisplay = (flags & 0x200) ? 0 : 1;
    header.xedit = (flags & 0x400) ? 0 : 1;
    header.extnames = (flags & 0x800) ? 1 : 0;
    header.pstylemode = (flags & 0x2000) ? 1 : 0;
    header.dwgOleStartup = (flags & 0x4000) ? 1 : 0;
}

uint32_t dwg13JoinHeaderFlags(const HeaderBlock& header) {
    uint32_t flags = uint32_t(rdLineweightToIndex(header.celweight)) & 0x1F;
    flags |= uint32_t(header.endcaps & 3) << 5;
    flags |= uint32_t(header.joinstyle & 3) << 7;
    if (!header.lwdisplay) flags |= 0x200;
    if (!header.xedit) flags |= 0x400;
    if (header.extnames) flags |= 0x800;
    if (header.pstylemode) flags |= 0x2000;
    if (header.dwgOleStartup) flags |= 0x4000;
    return flags;
}

int rdDwg13ReadHeaderSection(std::span<const uint8_t> file, const Dwg13FileHeader& fileHeader, HeaderBlock& header,
                             Dwg13HeaderHandles& handles) {
    std::span<const uint8_t> data;
    if (!rdDwg13FramedSection(file, fileHeader.locators[dwg13::kLocatorHeaderVariables].position, data)) return 0;
    BitReader bits(data, uint64_t(data.data() - file.data()));
    Dwg13FieldReader io(bits, fileHeader.versionIndex);
    uint32_t flags = 0;
    int16_t dimUnit = header.dimlunit;
    dwg13HeaderVariables(io, header, handles, flags, dimUnit);
    if (bits.overrun()) return 0;

    const bool r2000 = fileHeader.versionIndex >= kVersionAC1015;
    if (r2000)
        dwg13SplitHeaderFlags(flags, header);
    else
        dwg13SplitDimUnit(dimUnit, header.dimlunit, header.dimfrac);
    header.acadver = std::string(kVersionSignatures[fileHeader.versionIndex]);
    header.acadmaintver = r2000 ? fileHeader.maintenance : int16_t(fileHeader.maintenance & 1);
    header.dwgcodepage = int16_t(fileHeader.codePage);
    header.handling = 1;
    readMeasurement(file, fileHeader, header);
    return 1;
}

} // namespace tracemill
