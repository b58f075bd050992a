#include "toolkit/core/xdata_items.h"

#include <algorithm>

#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

// --- Values -------------------------------------------------------------------------------------

bool getHandle(OpenStream* stream, Handle& out) {
    uint8_t bytes[8];
    if (!dbStreamGetBytes(stream, bytes, 8)) return false;
    out = Handle::fromBigEndian(bytes);
    return true;
}

bool putHandle(OpenStream* stream, Handle handle) {
    uint8_t bytes[8];
    handle.toBigEndian(bytes);
    return dbStreamPutBytes(stream, bytes, 8);
}

// Handles of codes 330 and 340 are stored least significant byte first.
bool getReversedHandle(OpenStream* stream, Handle& out) {
    uint8_t bytes[8];
    if (!dbStreamGetBytes(stream, bytes, 8)) return false;
    std::reverse(bytes, bytes + 8);
    out = Handle::fromBigEndian(bytes);
    return true;
}

bool putReversedHandle(OpenStream* stream, Handle handle) {
    uint8_t bytes[8];
    handle.toBigEndian(bytes);
    std::reverse(bytes, bytes + 8);
    return dbStreamPutBytes(stream, bytes, 8);
}

bool getPoint(OpenStream* stream, Point3& out) { return dbStreamGetPoint24(stream, out); }

bool getBytes(OpenStream* stream, size_t n, std::vector<uint8_t>& out) {
    out.resize(n);
    return n == 0 || dbStreamGetBytes(stream, out.data(), n);
}

bool getText(OpenStream* stream, size_t n, std::string& out) {
    out.resize(n);
    return n == 0 || dbStreamGetBytes(stream, out.data(), n);
}

// An extended-data text ends at its first NUL (the extended form pads with two).
void cutAtNul(std::string& text) { text.resize(std::min(text.find('\0'), text.size())); }

// Reads an item with `read`; a failed read puts the position back where the item started.
template <class Read>
int readWhole(OpenStream* stream, Read read) {
    if (!stream) return dbSetError(kErrorReadFromNullStream);
    const int32_t start = dbStreamTell(stream);
    if (read()) return 1;
    dbStreamSeek(stream, start);
    return 0;
}

// --- Extended data ------------------------------------------------------------------------------

enum class XDataForm { Text, Handle, Brace, Binary, Point, Real, Int16, Int32, Raw };

XDataForm xdataForm(uint16_t code) {
    switch (code) {
    case 1000:
        return XDataForm::Text;
    case 1001:
    case 1003:
    case 1005:
        return XDataForm::Handle;
    case 1002:
        return XDataForm::Brace;
    case 1004:
        return XDataForm::Binary;
    case 1070:
        return XDataForm::Int16;
    case 1071:
        return XDataForm::Int32;
    default:
        if (code >= 1010 && code <= 1013) return XDataForm::Point;
        if (code >= 1040 && code <= 1042) return XDataForm::Real;
        return XDataForm::Raw;
    }
}

bool extendedStrings() { return gSystemContext && gSystemContext->extendedXDataStrings != 0; }

// --- Group items --------------------------------------------------------------------------------

bool reversedHandleCode(uint16_t code) { return code == 330 || code == 340; }

} // namespace

// Every code that XRECORDs of DWG and DXF files carry has a form: also the 8-bit and boolean
// values (280-299, kept as 16-bit), the further short, long, real, text and handle ranges, and
// the UCS (110-112) and extrusion (210) points.
GroupForm dbGroupItemForm(uint16_t code) {
    auto in = [code](int low, int high) { return code >= low && code <= high; };
    if (in(310, 319) || code == 1004) return GroupForm::Binary;
    if (in(0, 9) || code == 100 || code == 102 || in(300, 309) || in(430, 439) || in(470, 479) || in(999, 1008))
        return GroupForm::Text;
    if (in(10, 19) || in(110, 112) || code == 210 || in(1010, 1019)) return GroupForm::Point;
    if (in(60, 79) || in(170, 179) || in(270, 299) || in(370, 389) || in(400, 409) || in(1060, 1070))
        return GroupForm::Int16;
    if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) return GroupForm::Int32;
    if (in(39, 59) || in(140, 149) || in(460, 469) || in(1039, 1059)) return GroupForm::Real;
    if (in(320, 369) || in(390, 399) || in(480, 481)) return GroupForm::Handle;
    return GroupForm::None;
}

int dbReadXDataItem(OpenStream* stream, XDataItem& item) {
    return readWhole(stream, [&] {
        uint16_t code = 0, length = 0;
        uint8_t spare[4];
        if (!dbStreamGetWord(stream, code) || !dbStreamGetWord(stream, length) || !dbStreamGetBytes(stream, spare, 4))
            return false;
        XDataItem read;
        read.code = code;
        bool ok = false;
        switch (xdataForm(code)) {
        case XDataForm::Text:
            ok = getText(stream, length, read.text);
            cutAtNul(read.text);
            break;
        case XDataForm::Handle:
            ok = getHandle(stream, read.handle);
            break;
        case XDataForm::Brace:
            ok = dbStreamGetByte(stream, read.brace);
            break;
        case XDataForm::Binary:
            ok = getBytes(stream, length, read.binary);
            read.length = length;
            break;
        case XDataForm::Point:
            ok = getPoint(stream, read.point);
            break;
        case XDataForm::Real:
            ok = dbStreamGetDouble(stream, read.real);
            break;
        case XDataForm::Int16:
            ok = dbStreamGetShort(stream, read.int16);
            break;
        case XDataForm::Int32:
            ok = dbStreamGetLong(stream, read.int32);
            break;
        case XDataForm::Raw:
            ok = getBytes(stream, length, read.binary);
            break;
        }
        if (ok) item = std::move(read);
        return ok;
    });
}

int dbWriteXDataItem(OpenStream* stream, const XDataItem& item) {
    if (!stream || !stream->writing) return dbSetError(kErrorWriteToNullStream);
    const XDataForm form = xdataForm(item.code);
    size_t length = 0;
    switch (form) {
    case XDataForm::Text:
        length = item.text.size() + (extendedStrings() ? 2 : 0);
        break;
    case XDataForm::Handle:
    case XDataForm::Real:
        length = 8;
        break;
    case XDataForm::Brace:
        length = 1;
        break;
    case XDataForm::Binary:
    case XDataForm::Raw:
        length = item.binary.size();
        break;
    case XDataForm::Point:
        length = 24;
        break;
    case XDataForm::Int16:
        length = 2;
        break;
    case XDataForm::Int32:
        length = 4;
        break;
    }
    if (length > 0xFFFF) return dbReportError(kErrorUnknownGroupCode, kErrorReasonBadLength);
    const uint8_t spare[4] = {};
    bool ok = dbStreamPutWord(stream, item.code) && dbStreamPutWord(stream, uint16_t(length)) &&
              dbStreamPutBytes(stream, spare, 4);
    switch (form) {
    case XDataForm::Text: {
        ok = ok && dbStreamPutBytes(stream, item.text.data(), item.text.size());
        const uint8_t padding[2] = {};
        if (extendedStrings()) ok = ok && dbStreamPutBytes(stream, padding, 2);
        break;
    }
    case XDataForm::Handle:
        ok = ok && putHandle(stream, item.handle);
        break;
    case XDataForm::Brace:
        ok = ok && dbStreamPutByte(stream, item.brace);
        break;
    case XDataForm::Binary:
    case XDataForm::Raw:
        ok = ok && dbStreamPutBytes(stream, item.binary.data(), item.binary.size());
        break;
    case XDataForm::Point:
        ok = ok && dbStreamPutPoint3(stream, item.point);
        break;
    case XDataForm::Real:
        ok = ok && dbStreamPutDouble(stream, item.real);
        break;
    case XDataForm::Int16:
        ok = ok && dbStreamPutShort(stream, item.int16);
        break;
    case XDataForm::Int32:
        ok = ok && dbStreamPutLong(stream, item.int32);
        break;
    }
    return ok ? 1 : 0;
}

int dbReadGroupItem(OpenStream* stream, GroupItem& item) {
    return readWhole(stream, [&] {
        uint16_t code = 0;
        if (!dbStreamGetWord(stream, code)) return false;
        GroupItem read;
        read.code = code;
        bool ok = false;
        switch (dbGroupItemForm(code)) {
        case GroupForm::Binary: {
            uint8_t n = 0;
            ok = dbStreamGetByte(stream, n) && getBytes(stream, n, read.binary);
            read.length = n;
            break;
        }
        case GroupForm::Text: {
            uint16_t n = 0;
            uint8_t spare = 0;
            ok = dbStreamGetWord(stream, n) && dbStreamGetByte(stream, spare) && getText(stream, n, read.text);
            read.length = n;
            break;
        }
        case GroupForm::Point:
            ok = getPoint(stream, read.point);
            break;
        case GroupForm::Int16:
            ok = dbStreamGetShort(stream, read.int16);
            break;
        case GroupForm::Int32:
            ok = dbStreamGetLong(stream, read.int32);
            break;
        case GroupForm::Real:
            ok = dbStreamGetDouble(stream, read.real);
            break;
        case GroupForm::Handle:
            ok = reversedHandleCode(code) ? getReversedHandle(stream, read.handle) : getHandle(stream, read.handle);
            break;
        case GroupForm::None:
            dbSetError(kErrorUnknownGroupCode);
            return false;
        }
        if (ok) item = std::move(read);
        return ok;
    });
}

int dbWriteGroupItem(OpenStream* stream, const GroupItem& item) {
    if (!stream || !stream->writing) return dbSetError(kErrorWriteToNullStream);
    const GroupForm form = dbGroupItemForm(item.code);
    if (form == GroupForm::None) return dbSetError(kErrorUnknownGroupCode);
    if (form == GroupForm::Binary && item.binary.size() > kGroupItemMaxBinary) {
        return dbSetError(kErrorUnknownGroupCode);
    }
    if (form == GroupForm::Text && item.text.size() > 0xFFFF) return dbSetError(kErrorUnknownGroupCode);
    bool ok = dbStreamPutWord(stream, item.code);
    switch (form) {
    case GroupForm::Binary:
        ok = ok && dbStreamPutByte(stream, uint8_t(item.binary.size())) &&
             dbStreamPutBytes(stream, item.binary.data(), item.binary.size());
        break;
    case GroupForm::Text:
        ok = ok && dbStreamPutWord(stream, uint16_t(item.text.size())) && dbStreamPutByte(stream, 0) &&
             dbStreamPutBytes(stream, item.text.data(), item.text.size());
        break;
    case GroupForm::Point:
        ok = ok && dbStreamPutPoint3(stream, item.point);
        break;
    case GroupForm::Int16:
        ok = ok && dbStreamPutShort(stream, item.int16);
        break;
    case GroupForm::Int32:
        ok = ok && dbStreamPutLong(stream, item.int32);
        break;
    case GroupForm::Real:
        ok = ok && dbStreamPutDouble(stream, item.real);
        break;
    case GroupForm::Handle:
        ok = ok && (reversedHandleCode(item.code) ? putReversedHandle(stream, item.handle)
                                                  : putHandle(stream, item.handle));
        break;
    case GroupForm::None:
        break;
    }
    return ok ? 1 : 0;
}

std::vector<XDataItem> dbReadXDataItems(const OwnedStream& xdata) {
    std::vector<XDataItem> items;
    OpenStream* in = xdata ? dbStreamOpenRead(xdata.get()) : nullptr;
    if (!in) return items;
    XDataItem item;
    while (dbReadXDataItem(in, item)) items.push_back(item);
    dbStreamCloseRead(in);
    return items;
}

} // namespace tracemill
