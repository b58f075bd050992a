#include "toolkit/write/dxf/dxf_field_output.h"

#include "toolkit/read/dxf_value_type.h"

namespace tracemill {

int wrDxfGroupValue(OutputContext& output, const DxfGroup& group, bool full) {
    switch (dxfValueType(group.code)) {
    case DxfValueType::Real:
        return full ? wrDxfDoubleFull(output, group.code, group.real) : wrDxfDouble(output, group.code, group.real);
    case DxfValueType::Short: return wrDxfInt16(output, group.code, group.shortValue);
    case DxfValueType::Long: return wrDxfInt32(output, group.code, group.longValue);
    case DxfValueType::Handle: return wrDxfHandle(output, group.code, group.handle);
    case DxfValueType::Text:
    case DxfValueType::BinaryChunk: return wrDxfString(output, group.code, group.text);
    }
    return 0;
}

} // namespace tracemill
