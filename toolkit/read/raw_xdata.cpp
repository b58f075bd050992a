#include "toolkit/read/raw_xdata.h"

namespace tracemill {

void RawXDataReader::begin() {
    cursor_.seek(0);
    blockEnd_ = 0;
}

bool RawXDataReader::text(std::string& out, size_t length) {
    std::span<const uint8_t> bytes = cursor_.take(length);
    if (bytes.size() != length) return false;
    out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
}

bool RawXDataReader::next(RawXDataItem& item) {
    if (form_ == RawXDataForm::DwgR13) {
        if (blockEnd_ != 0 && cursor_.position() >= blockEnd_) blockEnd_ = 0;
        if (blockEnd_ == 0) {
            // The head of the next application block: its data size, then its APPID handle.
            if (cursor_.remaining() < 3) return false;
            const size_t start = cursor_.position();
            const uint16_t count = cursor_.le16();
            if (count == 0) return false;
            const unsigned length = cursor_.u8() & 0x0F;
            std::span<const uint8_t> handleBytes = cursor_.take(length);
            if (handleBytes.size() != length || length > 8) return false;
            uint64_t value = 0;
            for (uint8_t b : handleBytes) value = (value << 8) | b;
            blockEnd_ = start + 3 + length + count;
            item = RawXDataItem{};
            item.code = 1001;
            item.handle = Handle(value);
            return true;
        }
    } else if (cursor_.atEnd()) {
        return false;
    }
    if (cursor_.remaining() < 1) return false;
    item = RawXDataItem{};
    item.code = uint16_t(cursor_.u8() + 1000);
    return readValue(item);
}

bool RawXDataReader::readValue(RawXDataItem& item) {
    switch (item.code) {
    case 1000:
        if (form_ == RawXDataForm::DwgR13) {
            if (cursor_.remaining() < 3) return false;
            const uint16_t length = cursor_.le16();
            cursor_.u8();  // the string's code page
            return text(item.text, length);
        }
        return cursor_.remaining() >= 1 && text(item.text, cursor_.u8());
    case 1001:
    case 1003:
        if (form_ == RawXDataForm::Dxf) return cursor_.remaining() >= 1 && text(item.text, cursor_.u8());
        if (form_ == RawXDataForm::DwgR12) {
            if (cursor_.remaining() < 2) return false;
            item.index = cursor_.le16();
            return true;
        }
        if (item.code == 1001) return false;  // an application comes with its block's head
        [[fallthrough]];
    case 1005: {
        std::span<const uint8_t> bytes = cursor_.take(8);
        if (bytes.size() != 8) return false;
        item.handle = Handle::fromBigEndian(bytes.data());
        return true;
    }
    case 1002:
        if (cursor_.remaining() < 1) return false;
        item.open = cursor_.u8() == 0 ? 1 : 0;
        return true;
    case 1004:
        return cursor_.remaining() >= 1 && text(item.text, cursor_.u8());
    case 1010:
    case 1011:
    case 1012:
    case 1013:
        if (cursor_.remaining() < 24) return false;
        rdCursor3Doubles(cursor_, item.point);
        return true;
    case 1040:
    case 1041:
    case 1042:
        if (cursor_.remaining() < 8) return false;
        item.real = cursor_.rawDouble();
        return true;
    case 1070:
        if (cursor_.remaining() < 2) return false;
        item.shortValue = int16_t(cursor_.le16());
        return true;
    case 1071:
        if (cursor_.remaining() < 4) return false;
        item.longValue = int32_t(cursor_.le32());
        return true;
    default:
        return false;
    }
}

} // namespace tracemill
