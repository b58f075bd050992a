#include "toolkit/write/dwg12/dwg12_xdata_writer.h"

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/write/dwg12/dwg12_field_writer.h"
#include "toolkit/write/dwg12/dwg12_table_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/viewport_mview.h"

namespace tracemill {
namespace {

constexpr int kItemWritten = 1;
constexpr int kItemLeftOut = 2;
constexpr size_t kLongestShortValue = 255;

int putShortValue(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count) {
    if (count > kLongestShortValue) return dbSetError(kErrorDwg12FieldOverflow);
    out.push_back(uint8_t(count));
    out.insert(out.end(), bytes, bytes + count);
    return kItemWritten;
}

} // namespace

int wrXDataItemOut(const Dwg12TablePlan& plan, const XDataItem& item, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    out.push_back(uint8_t(item.code - 1000));
    int result = kItemWritten;
    switch (item.code) {
    case 1000:
        result = putShortValue(out, reinterpret_cast<const uint8_t*>(item.text.data()), item.text.size());
        break;
    case 1001: {
        const int32_t position = plan.position(kDwg12AppId, item.handle);
        if (position < 0) {
            result = dbSetError(kErrorNoSuchAppId);
            break;
        }
        wrDwg12PutShort(out, uint16_t(position));
        break;
    }
    case 1002:
        out.push_back(item.brace ? 1 : 0);
        break;
    case 1003: {
        const int32_t position = plan.position(kDwg12Layer, item.handle);
        if (position < 0) {
            result = kItemLeftOut;
            break;
        }
        wrDwg12PutShort(out, uint16_t(position));
        break;
    }
    case 1004:
        result = putShortValue(out, item.binary.data(), item.binary.size());
        break;
    case 1005: {
        uint8_t bytes[8];
        item.handle.toBigEndian(bytes);
        out.insert(out.end(), bytes, bytes + 8);
        break;
    }
    case 1010:
    case 1011:
    case 1012:
    case 1013:
        wrDwg12PutDouble(out, item.point.x);
        wrDwg12PutDouble(out, item.point.y);
        wrDwg12PutDouble(out, item.point.z);
        break;
    case 1040:
    case 1041:
    case 1042:
        wrDwg12PutDouble(out, item.real);
        break;
    case 1070:
        wrDwg12PutShort(out, uint16_t(item.int16));
        break;
    case 1071: {
        uint8_t bytes[4];
        putLe32(bytes, uint32_t(item.int32));
        out.insert(out.end(), bytes, bytes + 4);
        break;
    }
    default:
        result = kItemLeftOut;
        break;
    }
    if (result != kItemWritten) out.resize(start);
    return result;
}

int wrDwg12EntityXData(const Drawing& drawing, const Dwg12TablePlan& plan, const EntityRecord& entity,
                       std::vector<uint8_t>& out) {
    out.clear();
    std::vector<XDataItem> items;
    const ViewportBody* viewport =
        entity.header.type == kEntityViewport ? entity.body.getIf<ViewportBody>() : nullptr;
    if (viewport) {
        Handle acad;
        if (!dbFindAppIdHandle(const_cast<Drawing*>(&drawing), "ACAD", acad)) return dbSetError(kErrorNoSuchAppId);
        items = wrViewportXDataItems(*viewport, acad, entity.header.xdata);
    } else {
        items = dbReadXDataItems(entity.header.xdata);
    }
    for (const XDataItem& item : items) {
        if (!wrXDataItemOut(plan, item, out)) return 0;
    }
    return 1;
}

} // namespace tracemill
