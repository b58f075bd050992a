#include "toolkit/read/dwg_modular.h"

#include "toolkit/core/system_context.h"

namespace tracemill {

bool rdModularChar(ByteCursor& cursor, int64_t& value, int& length) {
    value = 0;
    length = 0;
    uint64_t magnitude = 0;
    for (int shift = 0; length < 7; shift += 7) {
        if (cursor.atEnd()) {
            cursor.skip(1); // marks the cursor overrun
            return false;
        }
        uint8_t byte = cursor.u8();
        ++length;
        if (length == 7) break;
        if (byte & 0x80) {
            magnitude |= uint64_t(byte & 0x7F) << shift;
            continue;
        }
        magnitude |= uint64_t(byte & 0x3F) << shift;
        value = (byte & 0x40) ? -int64_t(magnitude) : int64_t(magnitude);
        return true;
    }
    dbNotifyError(kErrorReasonBadLength);
    return false;
}

bool rdModularHandle(ByteCursor& cursor, Handle& handle, int& length) {
    handle = Handle();
    length = 0;
    uint64_t value = 0;
    for (int shift = 0; length < 10; shift += 7) {
        if (cursor.atEnd()) {
            cursor.skip(1);
            return false;
        }
        uint8_t byte = cursor.u8();
        ++length;
        if (shift < 64) value |= uint64_t(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    handle = Handle(value);
    return true;
}

bool rdModularShort(ByteCursor& cursor, uint32_t& value) {
    value = cursor.le16();
    if (value & 0x8000) value = (value & 0x7FFF) | (uint32_t(cursor.le16()) << 15);
    if (cursor.overrun()) value = 0;
    return !cursor.overrun();
}

} // namespace tracemill
