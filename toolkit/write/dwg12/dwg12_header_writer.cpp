#include "toolkit/write/dwg12/dwg12_header_writer.h"

#include <algorithm>
#include <cstring>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/code_page_text.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/write/dwg12/dwg12_field_writer.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {
namespace {

using V = Dwg12HeaderValue;
using H = HeaderBlock;

// The fixed head after the version string: 0x0C is 0 for "AC1002" and 1 after; 0x0D 3, 0x0F 5;
// the layout number at 0x11; 0x28 marks an empty extra entity section.
constexpr size_t kFixedHeadFlag = 0x0C;
constexpr size_t kExtraSectionFlagValue = 0x80000000u;
// The block after the current layer: 16-bit 15, then a double at +16.
constexpr size_t kLayerBlock = 0x14C;
constexpr uint8_t kLayerBlockDouble[8] = {0x0D, 0xCB, 0x26, 0x32, 0x69, 0x96, 0xF6, 0x3F};
// 18 doubles, two unit matrices of 3 x 3, and a 16-bit 0.
constexpr size_t kMatrices = 0x251;
// 0, 0, then 100 as 16 bits.
constexpr size_t kHundred = 0x317;
// "AC1009": a block of zeros but for 8 bytes at +0, three doubles 1.0 at +8, +16 and +24 and
// the byte 0x6D at +32.
constexpr size_t kLastBlock = 0x53F;
constexpr uint8_t kLastBlockHead[8] = {0x00, 0x00, 0x1C, 0x00, 0x7E, 0xFD, 0x57, 0x42};
// "AC1006": 16-bit 33 where "AC1009" has the APPID table head.
constexpr size_t kAc1006Word = 0x512;

void putDouble(uint8_t* at, double value) {
    putLe64(at, doubleBits(Dwg12FieldWriter::readAs(value)));
}

void putFixedBytes(int versionIndex, std::vector<uint8_t>& block) {
    uint8_t* p = block.data();
    p[kFixedHeadFlag] = versionIndex == 0 ? 0 : 1;
    p[kFixedHeadFlag + 1] = 3;
    p[kFixedHeadFlag + 3] = 5;
    p[kDwg12LayoutNumberOffset] = kDwg12LayoutNumber[size_t(versionIndex)];
    putLe32(p + kDwg12ExtraSizeOffset, kExtraSectionFlagValue);
    putLe16(p + kLayerBlock, 15);
    std::memcpy(p + kLayerBlock + 16, kLayerBlockDouble, sizeof kLayerBlockDouble);
    for (int i = 0; i < 18; ++i) {
        const int inMatrix = i % 9;
        putDouble(p + kMatrices + 8 * size_t(i), inMatrix % 4 == 0 ? 1.0 : 0.0);
    }
    putLe16(p + kHundred, 100);
    if (versionIndex == 3) putLe16(p + kAc1006Word, 33);
    if (block.size() >= kLastBlock + 160) {
        std::memcpy(p + kLastBlock, kLastBlockHead, sizeof kLastBlockHead);
        for (size_t at : {kLastBlock + 8, kLastBlock + 16, kLastBlock + 24}) putDouble(at + p, 1.0);
        p[kLastBlock + 32] = 0x6D;
    }
}

// The bytes of a text that go into its first field of `width` bytes, when `total` bytes of
// fields hold it; a text longer than all its fields is cut at a character boundary.
size_t firstFieldLength(const std::string& text, size_t width, size_t total, int codePage) {
    const size_t fitting = dbFittingLength(text, total, codePage);
    return dbFittingLength(std::string_view(text).substr(0, fitting), width, codePage);
}

bool putInteger(uint8_t* at, const HeaderBlock& header, const HeaderField& member, size_t width) {
    long long value = 0;
    if (auto* m = std::get_if<int16_t H::*>(&member))
        value = header.*(*m);
    else if (auto* b = std::get_if<uint8_t H::*>(&member))
        value = header.*(*b);
    if (width == 1) {
        if (value < 0 || value > 0xFF) return false;
        *at = uint8_t(value);
    } else {
        putLe16(at, uint16_t(value));
    }
    return true;
}

bool putField(const Dwg12HeaderField& f, uint8_t* at, const HeaderBlock& header, int versionIndex,
              const Dwg12CurrentEntries& current) {
    const int codePage = header.dwgcodepage;
    switch (f.value) {
    case V::Byte:
        return putInteger(at, header, f.member, 1);
    case V::Short:
        return putInteger(at, header, f.member, 2);
    case V::Double:
        putDouble(at, header.*std::get<double H::*>(f.member));
        return true;
    case V::Point2: {
        const Point2& point = header.*std::get<Point2 H::*>(f.member);
        putDouble(at, point.x);
        putDouble(at + 8, point.y);
        return true;
    }
    case V::Point3: {
        const Point3& point = header.*std::get<Point3 H::*>(f.member);
        putDouble(at, point.x);
        putDouble(at + 8, point.y);
        putDouble(at + 16, point.z);
        return true;
    }
    case V::Text: {
        // A text that continues in a later field (MENU) may take the room of both.
        size_t total = f.width;
        for (const Dwg12HeaderField& g : dbDwg12HeaderFields()) {
            if (g.value == V::TextRest && g.member == f.member && versionIndex >= g.firstVersion)
                total = std::max(total, size_t(g.start) + g.width);
        }
        const std::string& text = header.*std::get<std::string H::*>(f.member);
        if (dbFittingLength(text, total, codePage) < text.size()) dbReportWarning(kWarningDxfTextCut);
        std::memcpy(at, text.data(), firstFieldLength(text, f.width, total, codePage));
        return true;
    }
    case V::TextRest: {
        // Only a text that fills its first field goes on here.
        const std::string& text = header.*std::get<std::string H::*>(f.member);
        const size_t total = size_t(f.start) + f.width;
        if (firstFieldLength(text, f.start, total, codePage) == f.start)
            std::memcpy(at, text.data() + f.start, dbFittingLength(text, total, codePage) - f.start);
        return true;
    }
    case V::Date: {
        const HeaderDate& date = header.*std::get<HeaderDate H::*>(f.member);
        putLe32(at, date.day);
        putLe32(at + 4, date.milliseconds);
        return true;
    }
    case V::UserShorts:
        for (int16_t value : header.*std::get<std::array<int16_t, 5> H::*>(f.member)) {
            putLe16(at, uint16_t(value));
            at += 2;
        }
        return true;
    case V::UserDoubles:
        for (double value : header.*std::get<std::array<double, 5> H::*>(f.member)) {
            putDouble(at, value);
            at += 8;
        }
        return true;
    case V::Handle:
        // The seed only when the drawing hands out handles.
        if (header.handling != 0) header.handseed.toBigEndian(at);
        return true;
    case V::CurrentIndex: {
        int32_t index = current[f.entry];
        if (f.entry == Dwg12CurrentEntry::Linetype) {
            if (index == kDwg12LinetypeByLayer)
                index = dbDwg12FileLinetypeByLayer(versionIndex);
            else if (index == kDwg12LinetypeByBlock)
                index = dbDwg12FileLinetypeByBlock(versionIndex);
        } else if (index == -1) {
            index = 0xFFFF;
        }
        if (index < 0 || index > 0xFFFF) return false;
        putLe16(at, uint16_t(index));
        return true;
    }
    }
    return true;
}

} // namespace

bool wrDwg12HeaderBlock(const HeaderBlock& header, int versionIndex, const Dwg12CurrentEntries& current,
                        std::vector<uint8_t>& out) {
    out.assign(kDwg12HeaderBlockSize[size_t(versionIndex)], 0);
    putFixedBytes(versionIndex, out);
    bool fits = true;
    for (const Dwg12HeaderField& f : dbDwg12HeaderFields()) {
        const size_t width = dbDwg12HeaderFieldWidth(f);
        if (versionIndex < f.firstVersion || size_t(f.offset) + width > out.size()) continue;
        if (!putField(f, out.data() + f.offset, header, versionIndex, current)) fits = false;
    }
    return fits;
}

} // namespace tracemill
