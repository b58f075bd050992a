#include "toolkit/read/dxf_table_fields.h"

namespace tracemill {
namespace {

namespace ltype {
using R = LinetypeRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_TEXT(3, r.description),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(40, r.patternLength),
    DXF_BYTE(70, r.flags),
    DXF_BYTE(72, r.alignment),
    DXF_SHORT(73, r.dashCount),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace ltype

namespace layer {
using R = LayerRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_HANDLE(5, r.handle),
    DXF_SHORT(62, r.colour),
    DXF_BYTE(70, r.flags),
    DXF_SHORT(290, r.plotFlag),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(360, r.extensionDictionary),
    DXF_SHORT(370, r.lineweight),
    DXF_HANDLE(390, r.plotStyle),
};
} // namespace layer

namespace style {
using R = StyleRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_TEXT(3, r.fontFile),
    DXF_TEXT(4, r.bigFontFile),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(40, r.fixedHeight),
    DXF_REAL(41, r.widthFactor),
    DXF_REAL(42, r.lastHeight),
    DXF_ANGLE(50, r.obliqueAngle),
    DXF_BYTE(70, r.flags),
    DXF_BYTE(71, r.generation),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace style

namespace view {
using R = ViewRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(10, r.centre.x),
    DXF_REAL(11, r.direction.x),
    DXF_REAL(12, r.target.x),
    DXF_REAL(20, r.centre.y),
    DXF_REAL(21, r.direction.y),
    DXF_REAL(22, r.target.y),
    DXF_REAL(31, r.direction.z),
    DXF_REAL(32, r.target.z),
    DXF_REAL(40, r.height),
    DXF_REAL(41, r.width),
    DXF_REAL(42, r.lensLength),
    DXF_REAL(43, r.frontClip),
    DXF_REAL(44, r.backClip),
    DXF_ANGLE(50, r.twist),
    DXF_BYTE(70, r.flags),
    DXF_SHORT(71, r.viewMode),
    DXF_SHORT(72, r.hasUcs),
    DXF_SHORT(79, r.ucs.orthographicType),
    DXF_REAL(110, r.ucs.origin.x),
    DXF_REAL(111, r.ucs.xAxis.x),
    DXF_REAL(112, r.ucs.yAxis.x),
    DXF_REAL(120, r.ucs.origin.y),
    DXF_REAL(121, r.ucs.xAxis.y),
    DXF_REAL(122, r.ucs.yAxis.y),
    DXF_REAL(130, r.ucs.origin.z),
    DXF_REAL(131, r.ucs.xAxis.z),
    DXF_REAL(132, r.ucs.yAxis.z),
    DXF_REAL(146, r.ucs.elevation),
    DXF_SHORT(281, r.renderMode),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(345, r.ucs.namedUcs),
    DXF_HANDLE(346, r.ucs.baseUcs),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace view

namespace vport {
using R = VportRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(10, r.lowerLeft.x),
    DXF_REAL(11, r.upperRight.x),
    DXF_REAL(12, r.centre.x),
    DXF_REAL(13, r.snapBase.x),
    DXF_REAL(14, r.snapSpacing.x),
    DXF_REAL(15, r.gridSpacing.x),
    DXF_REAL(16, r.direction.x),
    DXF_REAL(17, r.target.x),
    DXF_REAL(20, r.lowerLeft.y),
    DXF_REAL(21, r.upperRight.y),
    DXF_REAL(22, r.centre.y),
    DXF_REAL(23, r.snapBase.y),
    DXF_REAL(24, r.snapSpacing.y),
    DXF_REAL(25, r.gridSpacing.y),
    DXF_REAL(26, r.direction.y),
    DXF_REAL(27, r.target.y),
    DXF_REAL(36, r.direction.z),
    DXF_REAL(37, r.target.z),
    DXF_REAL(40, r.height),
    DXF_REAL(41, r.aspect),
    DXF_REAL(42, r.lensLength),
    DXF_REAL(43, r.frontClip),
    DXF_REAL(44, r.backClip),
    DXF_ANGLE(50, r.snapAngle),
    DXF_ANGLE(51, r.twist),
    DXF_SHORT(65, r.ucsPerViewport),
    DXF_BYTE(70, r.flags),
    DXF_SHORT(71, r.viewMode),
    DXF_SHORT(72, r.circleZoom),
    DXF_SHORT(73, r.fastZoom),
    DXF_SHORT(74, r.ucsIcon),
    DXF_SHORT(75, r.snapOn),
    DXF_SHORT(76, r.gridOn),
    DXF_SHORT(77, r.snapStyle),
    DXF_SHORT(78, r.snapIsoPair),
    DXF_SHORT(79, r.ucs.orthographicType),
    DXF_REAL(110, r.ucs.origin.x),
    DXF_REAL(111, r.ucs.xAxis.x),
    DXF_REAL(112, r.ucs.yAxis.x),
    DXF_REAL(120, r.ucs.origin.y),
    DXF_REAL(121, r.ucs.xAxis.y),
    DXF_REAL(122, r.ucs.yAxis.y),
    DXF_REAL(130, r.ucs.origin.z),
    DXF_REAL(131, r.ucs.xAxis.z),
    DXF_REAL(132, r.ucs.yAxis.z),
    DXF_REAL(146, r.ucs.elevation),
    DXF_SHORT(281, r.renderMode),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(345, r.ucs.namedUcs),
    DXF_HANDLE(346, r.ucs.baseUcs),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace vport

namespace appid {
using R = AppIdRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_HANDLE(5, r.handle),
    DXF_BYTE(70, r.flags),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace appid

// The arrow block names (5, 6, 7) are resolved by the DIMSTYLE reader itself.
namespace dimstyle {
using R = DimStyleRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_TEXT(3, r.dimpost),
    DXF_TEXT(4, r.dimapost),
    DXF_REAL(40, r.dimscale),
    DXF_REAL(41, r.dimasz),
    DXF_REAL(42, r.dimexo),
    DXF_REAL(43, r.dimdli),
    DXF_REAL(44, r.dimexe),
    DXF_REAL(45, r.dimrnd),
    DXF_REAL(46, r.dimdle),
    DXF_REAL(47, r.dimtp),
    DXF_REAL(48, r.dimtm),
    DXF_BYTE(70, r.flags),
    DXF_BYTE(71, r.dimtol),
    DXF_BYTE(72, r.dimlim),
    DXF_BYTE(73, r.dimtih),
    DXF_BYTE(74, r.dimtoh),
    DXF_BYTE(75, r.dimse1),
    DXF_BYTE(76, r.dimse2),
    DXF_BYTE(77, r.dimtad),
    DXF_BYTE(78, r.dimzin),
    DXF_SHORT(79, r.dimazin),
    DXF_HANDLE(105, r.handle),
    DXF_REAL(140, r.dimtxt),
    DXF_REAL(141, r.dimcen),
    DXF_REAL(142, r.dimtsz),
    DXF_REAL(143, r.dimaltf),
    DXF_REAL(144, r.dimlfac),
    DXF_REAL(145, r.dimtvp),
    DXF_REAL(146, r.dimtfac),
    DXF_REAL(147, r.dimgap),
    DXF_REAL(148, r.dimaltrnd),
    DXF_BYTE(170, r.dimalt),
    DXF_BYTE(171, r.dimaltd),
    DXF_BYTE(172, r.dimtofl),
    DXF_BYTE(173, r.dimsah),
    DXF_BYTE(174, r.dimtix),
    DXF_BYTE(175, r.dimsoxd),
    DXF_SHORT(176, r.dimclrd),
    DXF_SHORT(177, r.dimclre),
    DXF_SHORT(178, r.dimclrt),
    DXF_SHORT(179, r.dimadec),
    DXF_SHORT(270, r.dimlunit),
    DXF_SHORT(271, r.dimdec),
    DXF_SHORT(272, r.dimtdec),
    DXF_SHORT(273, r.dimaltu),
    DXF_SHORT(274, r.dimalttd),
    DXF_SHORT(275, r.dimaunit),
    DXF_SHORT(276, r.dimfrac),
    DXF_SHORT(277, r.dimlunit),
    DXF_SHORT(278, r.dimdsep),
    DXF_SHORT(279, r.dimtmove),
    DXF_BYTE(280, r.dimjust),
    DXF_BYTE(281, r.dimsd1),
    DXF_BYTE(282, r.dimsd2),
    DXF_BYTE(283, r.dimtolj),
    DXF_BYTE(284, r.dimtzin),
    DXF_BYTE(285, r.dimaltz),
    DXF_BYTE(286, r.dimalttz),
    DXF_BYTE(287, r.dimatfit),
    DXF_BYTE(288, r.dimupt),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(340, r.dimtxsty),
    DXF_HANDLE(341, r.dimldrblk),
    DXF_HANDLE(342, r.dimblk),
    DXF_HANDLE(343, r.dimblk1),
    DXF_HANDLE(344, r.dimblk2),
    DXF_HANDLE(360, r.extensionDictionary),
    DXF_SHORT(371, r.dimlwd),
    DXF_SHORT(372, r.dimlwe),
};
} // namespace dimstyle

namespace ucs {
using R = UcsRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(10, r.origin.x),
    DXF_REAL(11, r.xAxis.x),
    DXF_REAL(12, r.yAxis.x),
    DXF_REAL(13, r.orthographicOrigin.x),
    DXF_REAL(20, r.origin.y),
    DXF_REAL(21, r.xAxis.y),
    DXF_REAL(22, r.yAxis.y),
    DXF_REAL(23, r.orthographicOrigin.y),
    DXF_REAL(30, r.origin.z),
    DXF_REAL(31, r.xAxis.z),
    DXF_REAL(32, r.yAxis.z),
    DXF_REAL(33, r.orthographicOrigin.z),
    DXF_BYTE(70, r.flags),
    DXF_SHORT(71, r.orthographicType),
    DXF_SHORT(79, r.orthographicTypeAlt),
    DXF_REAL(146, r.elevation),
    DXF_HANDLE(330, r.owner),
    DXF_HANDLE(346, r.baseUcs),
    DXF_HANDLE(360, r.extensionDictionary),
};
} // namespace ucs

// The BLOCK entity of the BLOCKS section as a block record: besides its name, handle and flags,
// the base point, external-reference path and description that the block record keeps.
namespace block {
using R = BlockRecord;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.xrefPath),
    DXF_TEXT(2, r.name),
    DXF_TEXT(4, r.description),
    DXF_HANDLE(5, r.handle),
    DXF_REAL(10, r.basePoint.x),
    DXF_REAL(20, r.basePoint.y),
    DXF_REAL(30, r.basePoint.z),
    DXF_BYTE(70, r.flags),
    DXF_HANDLE(330, r.owner),
};
} // namespace block

namespace mlinestyle {
using R = MlineStyleBody;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(2, r.name),
    DXF_TEXT(3, r.description),
    DXF_ANGLE(51, r.startAngle),
    DXF_ANGLE(52, r.endAngle),
    DXF_SHORT(62, r.fillColour),
    DXF_SHORT(70, r.flags),
};
} // namespace mlinestyle

namespace classes {
using R = ClassEntry;
constexpr DxfField<R> kFields[] = {
    DXF_TEXT(1, r.dxfName),
    DXF_TEXT(2, r.className),
    DXF_TEXT(3, r.applicationName),
    DXF_FIELD_RW(90, r.proxyFlags = int16_t(g.longValue), g.longValue = r.proxyFlags),
    DXF_BYTE(280, r.wasAZombie),
    DXF_FIELD_RW(281, r.itemClassId = uint16_t(g.shortValue), g.shortValue = int16_t(r.itemClassId)),
};
} // namespace classes

static_assert(dxfFieldsSorted<LinetypeRecord>(ltype::kFields));
static_assert(dxfFieldsSorted<LayerRecord>(layer::kFields));
static_assert(dxfFieldsSorted<StyleRecord>(style::kFields));
static_assert(dxfFieldsSorted<ViewRecord>(view::kFields));
static_assert(dxfFieldsSorted<VportRecord>(vport::kFields));
static_assert(dxfFieldsSorted<AppIdRecord>(appid::kFields));
static_assert(dxfFieldsSorted<DimStyleRecord>(dimstyle::kFields));
static_assert(dxfFieldsSorted<UcsRecord>(ucs::kFields));
static_assert(dxfFieldsSorted<BlockRecord>(block::kFields));
static_assert(dxfFieldsSorted<MlineStyleBody>(mlinestyle::kFields));
static_assert(dxfFieldsSorted<ClassEntry>(classes::kFields));

} // namespace

std::span<const DxfField<LinetypeRecord>> dxfLinetypeFields() { return ltype::kFields; }
std::span<const DxfField<LayerRecord>> dxfLayerFields() { return layer::kFields; }
std::span<const DxfField<StyleRecord>> dxfStyleFields() { return style::kFields; }
std::span<const DxfField<ViewRecord>> dxfViewFields() { return view::kFields; }
std::span<const DxfField<VportRecord>> dxfVportFields() { return vport::kFields; }
std::span<const DxfField<AppIdRecord>> dxfAppIdFields() { return appid::kFields; }
std::span<const DxfField<DimStyleRecord>> dxfDimStyleFields() { return dimstyle::kFields; }
std::span<const DxfField<UcsRecord>> dxfUcsFields() { return ucs::kFields; }
std::span<const DxfField<BlockRecord>> dxfBlockFields() { return block::kFields; }
std::span<const DxfField<MlineStyleBody>> dxfMlineStyleFields() { return mlinestyle::kFields; }
std::span<const DxfField<ClassEntry>> dxfClassFields() { return classes::kFields; }

} // namespace tracemill
