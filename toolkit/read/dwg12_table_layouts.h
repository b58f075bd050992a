// The fixed-size table records of DWG files before R13, one layout per table, shared by the
// reader and the writer (the field streams: dwg12_field_reader.h). Record sizes per version are
// in dwg12_file_layout.h; in "AC1009" files each record ends in its checksum, which the layouts
// leave to the framing.
//
// Every record starts with a flag byte (0x80 or above: the record is erased), the name in 32
// zero-padded bytes and, in "AC1009", a 16-bit external-reference index. Tables refer to each
// other, and entities to tables, by position in the table (counting erased records).
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/table_records.h"

namespace tracemill {

inline constexpr size_t kDwg12NameSize = 32;
inline constexpr uint8_t kDwg12RecordErased = 0x80;
inline constexpr int kDwg12MaxLinetypeDashes = 15;

// The flag byte, the name and ("AC1009") the external-reference index; older files have none
// (-1).
template <class Io, class Record> void dwg12RecordFrame(Io& io, Record& record) {
    io.u8(record.flags);
    io.name(record.name, kDwg12NameSize);
    if (io.version() >= 4)
        io.i16(record.xrefIndex);
    else if constexpr (Io::kReading)
        record.xrefIndex = -1;
}

// BLOCK: the offset of the block's BLOCK entity, relative to the blocks section, with the top
// six bits as flags; "AC1009" follows it with 32 set bits.
inline constexpr uint32_t kDwg12BlockRecordFiller = 0xFFFFFFFFu;

template <class Io> void dwg12BlockFields(Io& io, uint32_t& entityOffset) {
    io.u32(entityOffset);
    if (io.version() >= 4) {
        uint32_t filler = kDwg12BlockRecordFiller;
        io.u32(filler);
    }
}

// LAYER: colour (negative: off) and the position of its linetype.
template <class Io> void dwg12LayerFields(Io& io, LayerRecord& record, int32_t& linetypeIndex) {
    io.i16(record.colour);
    io.i16(linetypeIndex);
    // These files know no plot flag: every layer is plotted.
    if constexpr (Io::kReading) record.plotFlag = 1;
}

// STYLE. The big-font name is kept only for a text font (flag 0x01 clear).
template <class Io> void dwg12StyleFields(Io& io, StyleRecord& record) {
    io.rd(record.fixedHeight);
    io.rd(record.widthFactor);
    io.rd(record.obliqueAngle);
    io.u8(record.generation);
    io.rd(record.lastHeight);
    io.name(record.fontFile, 64);
    io.name(record.bigFontFile, 64);
    if constexpr (Io::kReading) {
        if (record.flags & 0x01) record.bigFontFile.clear();
    }
}

// LTYPE: description, alignment, dash count, pattern length and the lengths of the dashes, of
// which the record holds 12; a count above 15 is taken as 15 (the dashes beyond the record's
// room have length 0).
inline constexpr int kDwg12LinetypeDashRoom = 12;

template <class Io> void dwg12LinetypeFields(Io& io, LinetypeRecord& record) {
    io.name(record.description, 48);
    io.u8(record.alignment);
    io.u8(record.dashCount);
    if constexpr (Io::kReading) {
        if (record.dashCount < 0) record.dashCount = 0;
        if (record.dashCount > kDwg12MaxLinetypeDashes) record.dashCount = kDwg12MaxLinetypeDashes;
    }
    io.rd(record.patternLength);
    for (int i = 0; i < kDwg12LinetypeDashRoom; ++i) {
        double length = i < record.dashCount ? record.dashes[size_t(i)].length : 0.0;
        io.rd(length);
        if constexpr (Io::kReading) {
            if (i < record.dashCount) record.dashes[size_t(i)].length = length;
        }
    }
}

// VIEW. From "AC1006" a 16-bit word whose low byte holds the view's flags (1: paper space)
// follows the direction, and the view mode ends the record; older views have a lens length of
// 50.
template <class Io> void dwg12ViewFields(Io& io, ViewRecord& record) {
    io.rd(record.height);
    io.rd2(record.centre);
    io.rd(record.width);
    io.rd3(record.direction);
    if (io.version() < 3) {
        if constexpr (Io::kReading) record.lensLength = 50.0;
        return;
    }
    int16_t flagWord = record.flags;
    io.i16(flagWord);
    if constexpr (Io::kReading) record.flags = uint8_t(flagWord & 0xFF);
    io.rd3(record.target);
    io.rd(record.lensLength);
    io.rd(record.twist);
    io.rd(record.frontClip);
    io.rd(record.backClip);
    io.i16(record.viewMode);
}

// UCS.
template <class Io> void dwg12UcsFields(Io& io, UcsRecord& record) {
    io.rd3(record.origin);
    io.rd3(record.xAxis);
    io.rd3(record.yAxis);
}

// VPORT.
template <class Io> void dwg12VportFields(Io& io, VportRecord& record) {
    io.rd2(record.lowerLeft);
    io.rd2(record.upperRight);
    io.rd3(record.target);
    io.rd3(record.direction);
    io.rd(record.twist);
    io.rd(record.height);
    io.rd2(record.centre);
    io.rd(record.aspect);
    io.rd(record.lensLength);
    io.rd(record.frontClip);
    io.rd(record.backClip);
    io.i16(record.viewMode);
    io.i16(record.circleZoom);
    io.i16(record.fastZoom);
    io.i16(record.ucsIcon);
    io.i16(record.snapOn);
    io.i16(record.gridOn);
    io.i16(record.snapStyle);
    io.i16(record.snapIsoPair);
    io.rd(record.snapAngle);
    io.rd2(record.snapBase);
    io.rd2(record.snapSpacing);
    io.rd2(record.gridSpacing);
}

// APPID: nothing after the frame.

// The arrow blocks a DIMSTYLE record names.
struct Dwg12DimStyleArrows {
    std::string dimblk;
    std::string dimblk1;
    std::string dimblk2;
};

// DIMSTYLE: the dimension variables; the arrow blocks by name.
template <class Io> void dwg12DimStyleFields(Io& io, DimStyleRecord& r, Dwg12DimStyleArrows& arrows) {
    for (double* value :
         {&r.dimscale, &r.dimasz, &r.dimexo, &r.dimdli, &r.dimexe, &r.dimrnd, &r.dimdle, &r.dimtp, &r.dimtm,
          &r.dimtxt, &r.dimcen, &r.dimtsz, &r.dimaltf, &r.dimlfac, &r.dimtvp}) {
        io.rd(*value);
    }
    for (uint8_t* value : {&r.dimtol, &r.dimlim, &r.dimtih, &r.dimtoh, &r.dimse1, &r.dimse2, &r.dimtad,
                           &r.dimzin, &r.dimalt, &r.dimaltd, &r.dimtofl, &r.dimsah, &r.dimtix, &r.dimsoxd}) {
        io.u8(*value);
    }
    io.name(r.dimpost, 16);
    io.name(r.dimapost, 16);
    io.name(arrows.dimblk, 33);
    io.name(arrows.dimblk1, 33);
    io.name(arrows.dimblk2, 33);
    io.i16(r.dimclrd);
    io.i16(r.dimclre);
    io.i16(r.dimclrt);
    io.rd(r.dimtfac);
    io.rd(r.dimgap);
}

// VX, the viewport entity headers: the file offset of the VIEWPORT entity (top bit: relative to
// the extra entity section) and the index of the next record of the chain.
template <class Io> void dwg12ViewportEntityHeaderFields(Io& io, ViewportEntityHeaderRecord& record) {
    io.u32(record.viewportOffset);
    io.i16(record.nextIndex);
}

} // namespace tracemill
