#include "toolkit/read/dwg12_header_layout.h"

#include <cstring>

#include "toolkit/core/byte_order.h"
#include "toolkit/read/byte_cursor.h"

namespace tracemill {
namespace {

using V = Dwg12HeaderValue;
using H = HeaderBlock;
using E = Dwg12CurrentEntry;

constexpr Dwg12HeaderField field(uint16_t offset, V value, int8_t version, HeaderField member) {
    return Dwg12HeaderField{offset, value, version, member};
}
constexpr Dwg12HeaderField text(uint16_t offset, int8_t version, std::string HeaderBlock::*member,
                                uint8_t width) {
    return Dwg12HeaderField{offset, V::Text, version, member, width};
}
constexpr Dwg12HeaderField textRest(uint16_t offset, int8_t version, std::string HeaderBlock::*member,
                                    uint8_t width, uint8_t start) {
    return Dwg12HeaderField{offset, V::TextRest, version, member, width, start};
}
constexpr Dwg12HeaderField current(uint16_t offset, int8_t version, E entry) {
    return Dwg12HeaderField{offset, V::CurrentIndex, version, HeaderField{}, 0, 0, entry};
}

// Fields from 0x3A1 came with "AC1003", from 0x3D5 with "AC1004", from 0x3EF with "AC1006" and
// from 0x51E with "AC1009"; PLINEGEN, PSLTSCALE and DWGCODEPAGE also only "AC1009" stores.
// clang-format off
const Dwg12HeaderField kFields[] = {
    field(0x05E, V::Point3, 0, &H::insbase),
    field(0x076, V::Short, 4, &H::plinegen),
    field(0x078, V::Point3, 0, &H::extmin),
    field(0x090, V::Point3, 0, &H::extmax),
    field(0x0A8, V::Point2, 0, &H::limmin),
    field(0x0B8, V::Point2, 0, &H::limmax),
    field(0x0C8, V::Point3, 0, &H::viewctr),
    field(0x0E0, V::Double, 0, &H::viewsize),
    field(0x0E8, V::Short, 0, &H::snapmode),
    field(0x0EA, V::Point2, 0, &H::snapunit),
    field(0x0FA, V::Point2, 0, &H::snapbase),
    field(0x10A, V::Double, 0, &H::snapang),
    field(0x112, V::Short, 0, &H::snapstyle),
    field(0x114, V::Short, 0, &H::snapisopair),
    field(0x116, V::Short, 0, &H::gridmode),
    field(0x118, V::Point2, 0, &H::gridunit),
    field(0x128, V::Short, 0, &H::orthomode),
    field(0x12A, V::Short, 0, &H::regenmode),
    field(0x12C, V::Short, 0, &H::fillmode),
    field(0x12E, V::Short, 0, &H::qtextmode),
    field(0x130, V::Short, 0, &H::dragmode),
    field(0x132, V::Double, 0, &H::ltscale),
    field(0x13A, V::Double, 0, &H::textsize),
    field(0x142, V::Double, 0, &H::tracewid),
    current(0x14A, 0, E::Layer),
    field(0x156, V::Short, 4, &H::psltscale),
    field(0x158, V::Short, 4, &H::treedepth),
    field(0x164, V::Short, 0, &H::lunits),
    field(0x166, V::Short, 0, &H::luprec),
    field(0x168, V::Short, 0, &H::axismode),
    field(0x16A, V::Point2, 0, &H::axisunit),
    field(0x17A, V::Double, 0, &H::sketchinc),
    field(0x182, V::Double, 0, &H::filletrad),
    field(0x18A, V::Short, 0, &H::aunits),
    field(0x18C, V::Short, 0, &H::auprec),
    current(0x18E, 0, E::TextStyle),
    field(0x190, V::Short, 0, &H::osmode),
    field(0x192, V::Short, 0, &H::attmode),
    text(0x194, 0, &H::menu, 14),
    field(0x1A3, V::Double, 0, &H::dimscale),
    field(0x1AB, V::Double, 0, &H::dimasz),
    field(0x1B3, V::Double, 0, &H::dimexo),
    field(0x1BB, V::Double, 0, &H::dimdli),
    field(0x1C3, V::Double, 0, &H::dimexe),
    field(0x1CB, V::Double, 0, &H::dimtp),
    field(0x1D3, V::Double, 0, &H::dimtm),
    field(0x1DB, V::Double, 0, &H::dimtxt),
    field(0x1E3, V::Double, 0, &H::dimcen),
    field(0x1EB, V::Double, 0, &H::dimtsz),
    field(0x1F3, V::Byte, 0, &H::dimtol),
    field(0x1F4, V::Byte, 0, &H::dimlim),
    field(0x1F5, V::Byte, 0, &H::dimtih),
    field(0x1F6, V::Byte, 0, &H::dimtoh),
    field(0x1F7, V::Byte, 0, &H::dimse1),
    field(0x1F8, V::Byte, 0, &H::dimse2),
    field(0x1F9, V::Byte, 0, &H::dimtad),
    field(0x1FA, V::Short, 0, &H::limcheck),
    textRest(0x1FC, 0, &H::menu, 45, 14),
    field(0x229, V::Double, 0, &H::elevation),
    field(0x231, V::Double, 0, &H::thickness),
    field(0x239, V::Point3, 0, &H::viewdir),
    field(0x2E3, V::Short, 0, &H::blipmode),
    field(0x2E5, V::Byte, 0, &H::dimzin),
    field(0x2E6, V::Double, 0, &H::dimrnd),
    field(0x2EE, V::Double, 0, &H::dimdle),
    text(0x2F6, 0, &H::dimblk, 31),
    field(0x319, V::Short, 0, &H::coords),
    field(0x31B, V::Short, 0, &H::cecolor),
    current(0x31D, 0, E::Linetype),
    field(0x31F, V::Date, 0, &H::tdcreate),
    field(0x327, V::Date, 0, &H::tdupdate),
    field(0x32F, V::Date, 0, &H::tdindwg),
    field(0x337, V::Date, 0, &H::tdusrtimer),
    field(0x33F, V::Short, 0, &H::usrtimer),
    field(0x341, V::Short, 0, &H::fastzoom),
    field(0x343, V::Short, 0, &H::skpoly),
    field(0x353, V::Double, 0, &H::angbase),
    field(0x35B, V::Short, 0, &H::angdir),
    field(0x35D, V::Short, 0, &H::pdmode),
    field(0x35F, V::Double, 0, &H::pdsize),
    field(0x367, V::Double, 0, &H::plinewid),
    field(0x36F, V::UserShorts, 0, &H::useri),
    field(0x379, V::UserDoubles, 0, &H::userr),
    field(0x3A1, V::Byte, 1, &H::dimalt),
    field(0x3A2, V::Byte, 1, &H::dimaltd),
    field(0x3A3, V::Byte, 1, &H::dimaso),
    field(0x3A4, V::Byte, 1, &H::dimsho),
    text(0x3A5, 1, &H::dimpost, 16),
    text(0x3B5, 1, &H::dimapost, 16),
    field(0x3C5, V::Double, 1, &H::dimaltf),
    field(0x3CD, V::Double, 1, &H::dimlfac),
    field(0x3D5, V::Short, 2, &H::splinesegs),
    field(0x3D7, V::Short, 2, &H::splframe),
    field(0x3D9, V::Short, 2, &H::attreq),
    field(0x3DB, V::Short, 2, &H::attdia),
    field(0x3DD, V::Double, 2, &H::chamfera),
    field(0x3E5, V::Double, 2, &H::chamferb),
    field(0x3ED, V::Short, 2, &H::mirrtext),
    field(0x3F9, V::Short, 4, &H::dwgcodepage),
    field(0x3FB, V::Point3, 3, &H::ucsorg),
    field(0x413, V::Point3, 3, &H::ucsxdir),
    field(0x42B, V::Point3, 3, &H::ucsydir),
    field(0x463, V::Double, 3, &H::viewtwist),
    field(0x47D, V::Byte, 3, &H::dimtofl),
    text(0x47E, 3, &H::dimblk1, 32),
    text(0x49F, 3, &H::dimblk2, 32),
    field(0x4C0, V::Byte, 3, &H::dimsah),
    field(0x4C1, V::Byte, 3, &H::dimtix),
    field(0x4C2, V::Byte, 3, &H::dimsoxd),
    field(0x4C3, V::Double, 3, &H::dimtvp),
    field(0x4EC, V::Short, 3, &H::handling),
    field(0x4EE, V::Handle, 3, &H::handseed),
    field(0x4F6, V::Short, 3, &H::surfu),
    field(0x4F8, V::Short, 3, &H::surfv),
    field(0x4FA, V::Short, 3, &H::surftype),
    field(0x4FC, V::Short, 3, &H::surftab1),
    field(0x4FE, V::Short, 3, &H::surftab2),
    field(0x50A, V::Short, 3, &H::flatland),
    field(0x50C, V::Short, 3, &H::splinetype),
    current(0x510, 3, E::Ucs),
    field(0x51C, V::Short, 3, &H::worldview),
    current(0x52C, 4, E::DimStyle),
    field(0x531, V::Short, 4, &H::dimclrd),
    field(0x533, V::Short, 4, &H::dimclre),
    field(0x535, V::Short, 4, &H::dimclrt),
    field(0x537, V::Short, 4, &H::shadedge),
    field(0x539, V::Short, 4, &H::shadedif),
    field(0x53D, V::Short, 4, &H::unitmode),
    field(0x5DF, V::Double, 4, &H::dimtfac),
    field(0x5E7, V::Point3, 4, &H::pucsorg),
    field(0x5FF, V::Point3, 4, &H::pucsxdir),
    field(0x617, V::Point3, 4, &H::pucsydir),
    current(0x62F, 4, E::PaperUcs),
    field(0x631, V::Short, 4, &H::tilemode),
    field(0x633, V::Short, 4, &H::plimcheck),
    field(0x637, V::Point3, 4, &H::pextmin),
    field(0x64F, V::Point3, 4, &H::pextmax),
    field(0x667, V::Point2, 4, &H::plimmin),
    field(0x677, V::Point2, 4, &H::plimmax),
    field(0x687, V::Point3, 4, &H::pinsbase),
    field(0x6A9, V::Short, 4, &H::maxactvp),
    field(0x6AB, V::Double, 4, &H::dimgap),
    field(0x6B3, V::Double, 4, &H::pelevation),
    field(0x6BB, V::Short, 4, &H::visretain),
};
// clang-format on

} // namespace

size_t dbDwg12HeaderFieldWidth(const Dwg12HeaderField& f) {
    switch (f.value) {
    case V::Byte:
        return 1;
    case V::Short:
    case V::CurrentIndex:
        return 2;
    case V::Double:
        return 8;
    case V::Point2:
        return 16;
    case V::Point3:
        return 24;
    case V::Text:
    case V::TextRest:
        return f.width;
    case V::Date:
        return 8;
    case V::UserShorts:
        return 10;
    case V::UserDoubles:
        return 40;
    case V::Handle:
        return 8;
    }
    return 0;
}

namespace {

// A zero-padded text field: its bytes up to the first NUL.
std::string fixedText(std::span<const uint8_t> bytes) {
    const auto* chars = reinterpret_cast<const char*>(bytes.data());
    const void* nul = std::memchr(chars, 0, bytes.size());
    return std::string(chars, nul ? size_t(static_cast<const char*>(nul) - chars) : bytes.size());
}

template <class T> void setInteger(HeaderBlock& header, const HeaderField& member, T value) {
    if (auto* m = std::get_if<int16_t HeaderBlock::*>(&member))
        header.*(*m) = int16_t(value);
    else if (auto* b = std::get_if<uint8_t HeaderBlock::*>(&member))
        header.*(*b) = uint8_t(value);
}

void readField(const Dwg12HeaderField& f, std::span<const uint8_t> bytes, int versionIndex,
               HeaderBlock& header, Dwg12CurrentEntries& current) {
    ByteCursor in(bytes);
    switch (f.value) {
    case V::Byte:
        setInteger(header, f.member, in.u8());
        break;
    case V::Short:
        setInteger(header, f.member, int16_t(in.le16()));
        break;
    case V::Double:
        header.*std::get<double H::*>(f.member) = in.rawDouble();
        break;
    case V::Point2:
        rdCursor2Doubles(in, header.*std::get<Point2 H::*>(f.member));
        break;
    case V::Point3:
        rdCursor3Doubles(in, header.*std::get<Point3 H::*>(f.member));
        break;
    case V::Text:
        header.*std::get<std::string H::*>(f.member) = fixedText(bytes);
        break;
    case V::TextRest: {
        // Only a text that filled its first field goes on here.
        std::string& value = header.*std::get<std::string H::*>(f.member);
        if (value.size() == f.start) value += fixedText(bytes);
        break;
    }
    case V::Date: {
        HeaderDate& date = header.*std::get<HeaderDate H::*>(f.member);
        date.day = in.le32();
        date.milliseconds = in.le32();
        break;
    }
    case V::UserShorts:
        for (int16_t& value : header.*std::get<std::array<int16_t, 5> H::*>(f.member))
            value = int16_t(in.le16());
        break;
    case V::UserDoubles:
        for (double& value : header.*std::get<std::array<double, 5> H::*>(f.member))
            value = in.rawDouble();
        break;
    case V::Handle:
        header.*std::get<Handle H::*>(f.member) = Handle::fromBigEndian(bytes.data());
        break;
    case V::CurrentIndex: {
        int32_t index = in.le16();
        if (f.entry == E::Linetype) {
            if (index == dbDwg12FileLinetypeByLayer(versionIndex))
                index = kDwg12LinetypeByLayer;
            else if (index == dbDwg12FileLinetypeByBlock(versionIndex))
                index = kDwg12LinetypeByBlock;
        } else if (index == 0xFFFF) {
            index = -1;
        }
        current[f.entry] = index;
        break;
    }
    }
}

} // namespace

int32_t dbDwg12FileLinetypeByLayer(int versionIndex) {
    return versionIndex >= 4 ? kDwg12LinetypeByLayer : 256;
}

int32_t dbDwg12FileLinetypeByBlock(int versionIndex) {
    return versionIndex >= 4 ? kDwg12LinetypeByBlock : 255;
}

std::span<const Dwg12HeaderField> dbDwg12HeaderFields() {
    return kFields;
}

void rdReadR12Header(std::span<const uint8_t> header, int versionIndex, HeaderBlock& out,
                     Dwg12CurrentEntries& current) {
    for (const Dwg12HeaderField& f : kFields) {
        const size_t width = dbDwg12HeaderFieldWidth(f);
        if (versionIndex < f.firstVersion || size_t(f.offset) + width > header.size()) continue;
        readField(f, header.subspan(f.offset, width), versionIndex, out, current);
    }
}

} // namespace tracemill
