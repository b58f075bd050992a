#include "toolkit/write/dxf/dxf_xdata_writer.h"

#include "toolkit/core/xdata_items.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

int writeItem(const Drawing& drawing, OutputContext& output, const XDataItem& item) {
    const int codePage = output.header.dwgcodepage;
    switch (item.code) {
    case 1000: return wrDxfEscapedString(output, 1000, item.text, codePage);
    case 1001: {
        std::string name;
        return wrAppIdNameByHandle(drawing, item.handle, name) && wrDxfString(output, 1001, name);
    }
    case 1002: return wrDxfChar(output, 1002, item.brace ? '}' : '{');
    case 1003: {
        std::string name;
        if (!wrLayerNameByHandle(drawing, item.handle, name)) return 1;
        return wrDxfString(output, 1003, name);
    }
    case 1004: return wrDxfBinaryChunk(output, 1004, item.binary);
    case 1005: return wrDxfHandle(output, 1005, item.handle);
    case 1010:
    case 1011:
    case 1012:
    case 1013:
        return wrDxfDouble(output, item.code, item.point.x) && wrDxfDouble(output, item.code + 10, item.point.y) &&
               wrDxfDouble(output, item.code + 20, item.point.z);
    case 1040:
    case 1041:
    case 1042: return wrDxfDouble(output, item.code, item.real);
    case 1070: return wrDxfInt16(output, 1070, item.int16);
    case 1071: return wrDxfInt32(output, 1071, item.int32);
    default: return 1;
    }
}

} // namespace

int DxfXDataWriter(const Drawing& drawing, OutputContext& output, const OwnedStream& xdata) {
    if (!xdata) return 1;
    OpenStream* in = dbStreamOpenRead(xdata.get());
    if (!in) return 1;
    XDataItem item;
    int ok = 1;
    while (ok && dbReadXDataItem(in, item)) ok = writeItem(drawing, output, item);
    dbStreamCloseRead(in);
    return ok;
}

} // namespace tracemill
