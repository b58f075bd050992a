#include "toolkit/read/dxf_table_fields.h"

namespace tracemill {
namespace {

namespace ltype {
using R = LinetypeRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(3, r.description = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(40, r.patternLength = g.real),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(72, r.alignment = dxfByte(g)),
    DXF_FIELD(73, r.dashCount = g.shortValue),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace ltype

namespace layer {
using R = LayerRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(62, r.colour = g.shortValue),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(290, r.plotFlag = g.shortValue),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
    DXF_FIELD(370, r.lineweight = g.shortValue),
    DXF_FIELD(390, r.plotStyle = g.handle),
};
} // namespace layer

namespace style {
using R = StyleRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(3, r.fontFile = g.text),
    DXF_FIELD(4, r.bigFontFile = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(40, r.fixedHeight = g.real),
    DXF_FIELD(41, r.widthFactor = g.real),
    DXF_FIELD(42, r.lastHeight = g.real),
    DXF_FIELD(50, r.obliqueAngle = dxfAngle(g)),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.generation = dxfByte(g)),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace style

namespace view {
using R = ViewRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(10, r.centre.x = g.real),
    DXF_FIELD(11, r.direction.x = g.real),
    DXF_FIELD(12, r.target.x = g.real),
    DXF_FIELD(20, r.centre.y = g.real),
    DXF_FIELD(21, r.direction.y = g.real),
    DXF_FIELD(22, r.target.y = g.real),
    DXF_FIELD(31, r.direction.z = g.real),
    DXF_FIELD(32, r.target.z = g.real),
    DXF_FIELD(40, r.height = g.real),
    DXF_FIELD(41, r.width = g.real),
    DXF_FIELD(42, r.lensLength = g.real),
    DXF_FIELD(43, r.frontClip = g.real),
    DXF_FIELD(44, r.backClip = g.real),
    DXF_FIELD(50, r.twist = dxfAngle(g)),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.viewMode = g.shortValue),
    DXF_FIELD(72, r.hasUcs = g.shortValue),
    DXF_FIELD(79, r.ucs.orthographicType = g.shortValue),
    DXF_FIELD(110, r.ucs.origin.x = g.real),
    DXF_FIELD(111, r.ucs.xAxis.x = g.real),
    DXF_FIELD(112, r.ucs.yAxis.x = g.real),
    DXF_FIELD(120, r.ucs.origin.y = g.real),
    DXF_FIELD(121, r.ucs.xAxis.y = g.real),
    DXF_FIELD(122, r.ucs.yAxis.y = g.real),
    DXF_FIELD(130, r.ucs.origin.z = g.real),
    DXF_FIELD(131, r.ucs.xAxis.z = g.real),
    DXF_FIELD(132, r.ucs.yAxis.z = g.real),
    DXF_FIELD(146, r.ucs.elevation = g.real),
    DXF_FIELD(281, r.renderMode = g.shortValue),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(345, r.ucs.namedUcs = g.handle),
    DXF_FIELD(346, r.ucs.baseUcs = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace view

namespace vport {
using R = VportRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(10, r.lowerLeft.x = g.real),
    DXF_FIELD(11, r.upperRight.x = g.real),
    DXF_FIELD(12, r.centre.x = g.real),
    DXF_FIELD(13, r.snapBase.x = g.real),
    DXF_FIELD(14, r.snapSpacing.x = g.real),
    DXF_FIELD(15, r.gridSpacing.x = g.real),
    DXF_FIELD(16, r.direction.x = g.real),
    DXF_FIELD(17, r.target.x = g.real),
    DXF_FIELD(20, r.lowerLeft.y = g.real),
    DXF_FIELD(21, r.upperRight.y = g.real),
    DXF_FIELD(22, r.centre.y = g.real),
    DXF_FIELD(23, r.snapBase.y = g.real),
    DXF_FIELD(24, r.snapSpacing.y = g.real),
    DXF_FIELD(25, r.gridSpacing.y = g.real),
    DXF_FIELD(26, r.direction.y = g.real),
    DXF_FIELD(27, r.target.y = g.real),
    DXF_FIELD(36, r.direction.z = g.real),
    DXF_FIELD(37, r.target.z = g.real),
    DXF_FIELD(40, r.height = g.real),
    DXF_FIELD(41, r.aspect = g.real),
    DXF_FIELD(42, r.lensLength = g.real),
    DXF_FIELD(43, r.frontClip = g.real),
    DXF_FIELD(44, r.backClip = g.real),
    DXF_FIELD(50, r.snapAngle = dxfAngle(g)),
    DXF_FIELD(51, r.twist = dxfAngle(g)),
    DXF_FIELD(65, r.ucsPerViewport = g.shortValue),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.viewMode = g.shortValue),
    DXF_FIELD(72, r.circleZoom = g.shortValue),
    DXF_FIELD(73, r.fastZoom = g.shortValue),
    DXF_FIELD(74, r.ucsIcon = g.shortValue),
    DXF_FIELD(75, r.snapOn = g.shortValue),
    DXF_FIELD(76, r.gridOn = g.shortValue),
    DXF_FIELD(77, r.snapStyle = g.shortValue),
    DXF_FIELD(78, r.snapIsoPair = g.shortValue),
    DXF_FIELD(79, r.ucs.orthographicType = g.shortValue),
    DXF_FIELD(110, r.ucs.origin.x = g.real),
    DXF_FIELD(111, r.ucs.xAxis.x = g.real),
    DXF_FIELD(112, r.ucs.yAxis.x = g.real),
    DXF_FIELD(120, r.ucs.origin.y = g.real),
    DXF_FIELD(121, r.ucs.xAxis.y = g.real),
    DXF_FIELD(122, r.ucs.yAxis.y = g.real),
    DXF_FIELD(130, r.ucs.origin.z = g.real),
    DXF_FIELD(131, r.ucs.xAxis.z = g.real),
    DXF_FIELD(132, r.ucs.yAxis.z = g.real),
    DXF_FIELD(146, r.ucs.elevation = g.real),
    DXF_FIELD(281, r.renderMode = g.shortValue),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(345, r.ucs.namedUcs = g.handle),
    DXF_FIELD(346, r.ucs.baseUcs = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace vport

namespace appid {
using R = AppIdRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace appid

// The arrow block names (5, 6, 7) are resolved by the DIMSTYLE reader itself.
namespace dimstyle {
using R = DimStyleRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(3, r.dimpost = g.text),
    DXF_FIELD(4, r.dimapost = g.text),
    DXF_FIELD(40, r.dimscale = g.real),
    DXF_FIELD(41, r.dimasz = g.real),
    DXF_FIELD(42, r.dimexo = g.real),
    DXF_FIELD(43, r.dimdli = g.real),
    DXF_FIELD(44, r.dimexe = g.real),
    DXF_FIELD(45, r.dimrnd = g.real),
    DXF_FIELD(46, r.dimdle = g.real),
    DXF_FIELD(47, r.dimtp = g.real),
    DXF_FIELD(48, r.dimtm = g.real),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.dimtol = dxfByte(g)),
    DXF_FIELD(72, r.dimlim = dxfByte(g)),
    DXF_FIELD(73, r.dimtih = dxfByte(g)),
    DXF_FIELD(74, r.dimtoh = dxfByte(g)),
    DXF_FIELD(75, r.dimse1 = dxfByte(g)),
    DXF_FIELD(76, r.dimse2 = dxfByte(g)),
    DXF_FIELD(77, r.dimtad = dxfByte(g)),
    DXF_FIELD(78, r.dimzin = dxfByte(g)),
    DXF_FIELD(79, r.dimazin = g.shortValue),
    DXF_FIELD(105, r.handle = g.handle),
    DXF_FIELD(140, r.dimtxt = g.real),
    DXF_FIELD(141, r.dimcen = g.real),
    DXF_FIELD(142, r.dimtsz = g.real),
    DXF_FIELD(143, r.dimaltf = g.real),
    DXF_FIELD(144, r.dimlfac = g.real),
    DXF_FIELD(145, r.dimtvp = g.real),
    DXF_FIELD(146, r.dimtfac = g.real),
    DXF_FIELD(147, r.dimgap = g.real),
    DXF_FIELD(148, r.dimaltrnd = g.real),
    DXF_FIELD(170, r.dimalt = dxfByte(g)),
    DXF_FIELD(171, r.dimaltd = dxfByte(g)),
    DXF_FIELD(172, r.dimtofl = dxfByte(g)),
    DXF_FIELD(173, r.dimsah = dxfByte(g)),
    DXF_FIELD(174, r.dimtix = dxfByte(g)),
    DXF_FIELD(175, r.dimsoxd = dxfByte(g)),
    DXF_FIELD(176, r.dimclrd = g.shortValue),
    DXF_FIELD(177, r.dimclre = g.shortValue),
    DXF_FIELD(178, r.dimclrt = g.shortValue),
    DXF_FIELD(179, r.dimadec = g.shortValue),
    DXF_FIELD(270, r.dimlunit = g.shortValue),
    DXF_FIELD(271, r.dimdec = g.shortValue),
    DXF_FIELD(272, r.dimtdec = g.shortValue),
    DXF_FIELD(273, r.dimaltu = g.shortValue),
    DXF_FIELD(274, r.dimalttd = g.shortValue),
    DXF_FIELD(275, r.dimaunit = g.shortValue),
    DXF_FIELD(276, r.dimfrac = g.shortValue),
    DXF_FIELD(277, r.dimlunit = g.shortValue),
    DXF_FIELD(278, r.dimdsep = g.shortValue),
    DXF_FIELD(279, r.dimtmove = g.shortValue),
    DXF_FIELD(280, r.dimjust = dxfByte(g)),
    DXF_FIELD(281, r.dimsd1 = dxfByte(g)),
    DXF_FIELD(282, r.dimsd2 = dxfByte(g)),
    DXF_FIELD(283, r.dimtolj = dxfByte(g)),
    DXF_FIELD(284, r.dimtzin = dxfByte(g)),
    DXF_FIELD(285, r.dimaltz = dxfByte(g)),
    DXF_FIELD(286, r.dimalttz = dxfByte(g)),
    DXF_FIELD(287, r.dimatfit = dxfByte(g)),
    DXF_FIELD(288, r.dimupt = dxfByte(g)),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(340, r.dimtxsty = g.handle),
    DXF_FIELD(341, r.dimldrblk = g.handle),
    DXF_FIELD(342, r.dimblk = g.handle),
    DXF_FIELD(343, r.dimblk1 = g.handle),
    DXF_FIELD(344, r.dimblk2 = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
    DXF_FIELD(371, r.dimlwd = g.shortValue),
    DXF_FIELD(372, r.dimlwe = g.shortValue),
};
} // namespace dimstyle

namespace ucs {
using R = UcsRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(10, r.origin.x = g.real),
    DXF_FIELD(11, r.xAxis.x = g.real),
    DXF_FIELD(12, r.yAxis.x = g.real),
    DXF_FIELD(13, r.orthographicOrigin.x = g.real),
    DXF_FIELD(20, r.origin.y = g.real),
    DXF_FIELD(21, r.xAxis.y = g.real),
    DXF_FIELD(22, r.yAxis.y = g.real),
    DXF_FIELD(23, r.orthographicOrigin.y = g.real),
    DXF_FIELD(30, r.origin.z = g.real),
    DXF_FIELD(31, r.xAxis.z = g.real),
    DXF_FIELD(32, r.yAxis.z = g.real),
    DXF_FIELD(33, r.orthographicOrigin.z = g.real),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(71, r.orthographicType = g.shortValue),
    DXF_FIELD(79, r.orthographicTypeAlt = g.shortValue),
    DXF_FIELD(146, r.elevation = g.real),
    DXF_FIELD(330, r.owner = g.handle),
    DXF_FIELD(346, r.baseUcs = g.handle),
    DXF_FIELD(360, r.extensionDictionary = g.handle),
};
} // namespace ucs

// The BLOCK entity of the BLOCKS section as a block record: besides its name, handle and flags,
// the base point, external-reference path and description that the block record keeps.
namespace block {
using R = BlockRecord;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.xrefPath = g.text),
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(4, r.description = g.text),
    DXF_FIELD(5, r.handle = g.handle),
    DXF_FIELD(10, r.basePoint.x = g.real),
    DXF_FIELD(20, r.basePoint.y = g.real),
    DXF_FIELD(30, r.basePoint.z = g.real),
    DXF_FIELD(70, r.flags = dxfByte(g)),
    DXF_FIELD(330, r.owner = g.handle),
};
} // namespace block

namespace mlinestyle {
using R = MlineStyleBody;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(2, r.name = g.text),
    DXF_FIELD(3, r.description = g.text),
    DXF_FIELD(51, r.startAngle = dxfAngle(g)),
    DXF_FIELD(52, r.endAngle = dxfAngle(g)),
    DXF_FIELD(62, r.fillColour = g.shortValue),
    DXF_FIELD(70, r.flags = g.shortValue),
};
} // namespace mlinestyle

namespace classes {
using R = ClassEntry;
constexpr DxfField<R> kFields[] = {
    DXF_FIELD(1, r.dxfName = g.text),
    DXF_FIELD(2, r.className = g.text),
    DXF_FIELD(3, r.applicationName = g.text),
    DXF_FIELD(90, r.proxyFlags = int16_t(g.longValue)),
    DXF_FIELD(280, r.wasAZombie = dxfByte(g)),
    DXF_FIELD(281, r.itemClassId = uint16_t(g.shortValue)),
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
