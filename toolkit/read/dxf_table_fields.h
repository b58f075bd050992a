// The field tables of the DXF symbol-table records, classes and multiline styles: which group
// code fills which field. The generic record reader (dxf_tables.cpp) stores through them.
#pragma once

#include <span>

#include "toolkit/core/class_list.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/table_records.h"
#include "toolkit/read/dxf_fields.h"

namespace tracemill {

std::span<const DxfField<LinetypeRecord>> dxfLinetypeFields();
std::span<const DxfField<LayerRecord>> dxfLayerFields();
std::span<const DxfField<StyleRecord>> dxfStyleFields();
std::span<const DxfField<ViewRecord>> dxfViewFields();
std::span<const DxfField<VportRecord>> dxfVportFields();
std::span<const DxfField<AppIdRecord>> dxfAppIdFields();
std::span<const DxfField<DimStyleRecord>> dxfDimStyleFields();
std::span<const DxfField<UcsRecord>> dxfUcsFields();
std::span<const DxfField<BlockRecord>> dxfBlockFields();
std::span<const DxfField<MlineStyleBody>> dxfMlineStyleFields();
std::span<const DxfField<ClassEntry>> dxfClassFields();

} // namespace tracemill
