#include "toolkit/core/drawing_dump.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <string>
#include <string_view>
#include <concepts>
#include <type_traits>
#include <variant>
#include <vector>

#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

// Appends " name=value" (or "name=value" for the first field of a nested record) for each field
// it is given.
class FieldWriter {
public:
    explicit FieldWriter(std::string& out, bool leadingSpace = true) : out_(out), space_(leadingSpace) {}
    template <class T>
    void operator()(std::string_view name, const T& value);

private:
    std::string& out_;
    bool space_;
};

// --- The fields of each record -----------------------------------------------------------------

void describe(FieldWriter& f, const LwpolylineVertex& v) {
    f("point", v.point);
    f("bulge", v.bulge);
    f("startWidth", v.startWidth);
    f("endWidth", v.endWidth);
}
void describe(FieldWriter& f, const SplineData& d) {
    f("knots", d.knots);
    f("controlPoints", d.controlPoints);
    f("weights", d.weights);
    f("fitPoints", d.fitPoints);
}
void describe(FieldWriter& f, const HatchLineEdge& e) {
    f("start", e.start);
    f("end", e.end);
}
void describe(FieldWriter& f, const HatchArcEdge& e) {
    f("centre", e.centre);
    f("radius", e.radius);
    f("startAngle", e.startAngle);
    f("endAngle", e.endAngle);
    f("counterClockwise", e.counterClockwise);
}
void describe(FieldWriter& f, const HatchEllipseEdge& e) {
    f("centre", e.centre);
    f("majorAxisEnd", e.majorAxisEnd);
    f("axisRatio", e.axisRatio);
    f("startParameter", e.startParameter);
    f("endParameter", e.endParameter);
    f("counterClockwise", e.counterClockwise);
}
void describe(FieldWriter& f, const HatchSplineControlPoint& p) {
    f("point", p.point);
    f("weight", p.weight);
}
void describe(FieldWriter& f, const HatchSplineEdge& e) {
    f("degree", e.degree);
    f("rational", e.rational);
    f("periodic", e.periodic);
    f("knots", e.knots);
    f("controlPoints", e.controlPoints);
}
void describe(FieldWriter& f, const HatchPolylineVertex& v) {
    f("point", v.point);
    f("bulge", v.bulge);
}
void describe(FieldWriter& f, const HatchPath& p) {
    f("flags", p.flags);
    f("hasBulges", p.hasBulges);
    f("closed", p.closed);
    f("vertices", p.vertices);
    f("edges", p.edges);
    f("boundaryObjects", p.boundaryObjects);
}
void describe(FieldWriter& f, const HatchPatternLine& l) {
    f("angle", l.angle);
    f("base", l.base);
    f("offset", l.offset);
    f("dashes", l.dashes);
}
void describe(FieldWriter& f, const MlineElementParameters& p) {
    f("segment", p.segment);
    f("areaFill", p.areaFill);
}
void describe(FieldWriter& f, const MlineVertex& v) {
    f("position", v.position);
    f("direction", v.direction);
    f("miter", v.miter);
    f("elements", v.elements);
}
void describe(FieldWriter& f, const MlineStyleElement& e) {
    f("offset", e.offset);
    f("colour", e.colour);
    f("linetypeIndex", e.linetypeIndex);
}
void describe(FieldWriter& f, const DictionaryEntry& e) {
    f("name", e.name);
    f("handle", e.handle);
}
void describe(FieldWriter& f, const ObjectReference& r) {
    f("handle", r.handle);
    f("kind", r.kind);
}

void describe(FieldWriter& f, const EntityHeader& h) {
    f("handle", h.handle);
    f("layer", h.layer);
    f("linetype", h.linetype);
    f("extensionDictionary", h.extensionDictionary);
    f("plotStyle", h.plotStyle);
    f("thickness", h.thickness);
    f("extrusion", h.extrusion);
    f("linetypeScale", h.linetypeScale);
    f("colour", h.colour);
    f("lineweight", h.lineweight);
    f("flags", h.flags);
    f("xdataSize", h.xdataSize);
    f("xdata", h.xdata);
    f("reactors", h.reactors);
}

void describe(FieldWriter& f, const LineBody& b) {
    f("start", b.start);
    f("end", b.end);
}
void describe(FieldWriter& f, const PointBody& b) {
    f("point", b.point);
    f("xAxisAngle", b.xAxisAngle);
}
void describe(FieldWriter& f, const CircleBody& b) {
    f("centre", b.centre);
    f("radius", b.radius);
}
void describe(FieldWriter& f, const ArcBody& b) {
    f("centre", b.centre);
    f("radius", b.radius);
    f("startAngle", b.startAngle);
    f("endAngle", b.endAngle);
}
void describe(FieldWriter& f, const InfiniteLineBody& b) {
    f("basePoint", b.basePoint);
    f("direction", b.direction);
}
void describe(FieldWriter& f, const ShapeBody& b) {
    f("insertion", b.insertion);
    f("size", b.size);
    f("rotation", b.rotation);
    f("widthFactor", b.widthFactor);
    f("obliqueAngle", b.obliqueAngle);
    f("shapeNumber", b.shapeNumber);
    f("style", b.style);
}
void describe(FieldWriter& f, const EllipseBody& b) {
    f("centre", b.centre);
    f("majorAxis", b.majorAxis);
    f("axisRatio", b.axisRatio);
    f("startParameter", b.startParameter);
    f("endParameter", b.endParameter);
}
void describe(FieldWriter& f, const SplineBody& b) {
    f("flags", b.flags);
    f("degree", b.degree);
    f("knotTolerance", b.knotTolerance);
    f("controlTolerance", b.controlTolerance);
    f("fitTolerance", b.fitTolerance);
    f("startTangent", b.startTangent);
    f("endTangent", b.endTangent);
    describe(f, b.data);
}
void describe(FieldWriter& f, const TextFields& b) {
    f("insertion", b.insertion);
    f("alignment", b.alignment);
    f("height", b.height);
    f("rotation", b.rotation);
    f("widthFactor", b.widthFactor);
    f("obliqueAngle", b.obliqueAngle);
    f("generation", b.generation);
    f("horizontalAlign", b.horizontalAlign);
    f("verticalAlign", b.verticalAlign);
    f("text", b.text);
    f("style", b.style);
}
void describe(FieldWriter& f, const AttributeBody& b) {
    describe(f, static_cast<const TextFields&>(b));
    f("tag", b.tag);
    f("fieldLength", b.fieldLength);
    f("flags", b.flags);
}
void describe(FieldWriter& f, const AttributeDefinitionBody& b) {
    describe(f, static_cast<const AttributeBody&>(b));
    f("prompt", b.prompt);
}
void describe(FieldWriter& f, const SolidBody& b) { f("corners", b.corners); }
void describe(FieldWriter& f, const FaceBody& b) {
    f("corners", b.corners);
    f("invisibleEdges", b.invisibleEdges);
}
void describe(FieldWriter& f, const AcisBody& b) {
    f("satText", b.satText);
    f("trailingBits", b.trailingBits);
    f("noTrailingBits", b.noTrailingBits);
}
void describe(FieldWriter& f, const BlockBeginBody& b) {
    f("name", b.name);
    f("basePoint", b.basePoint);
    f("xrefPath", b.xrefPath);
}
void describe(FieldWriter& f, const InsertBody& b) {
    f("attributesFollow", b.attributesFollow);
    f("block", b.block);
    f("insertion", b.insertion);
    f("scale", b.scale);
    f("rotation", b.rotation);
    f("columnCount", b.columnCount);
    f("rowCount", b.rowCount);
    f("columnSpacing", b.columnSpacing);
    f("rowSpacing", b.rowSpacing);
}
void describe(FieldWriter& f, const PolylineBody& b) {
    f("flags", b.flags);
    f("curveType", b.curveType);
    f("meshM", b.meshM);
    f("meshN", b.meshN);
    f("densityM", b.densityM);
    f("densityN", b.densityN);
    f("defaultStartWidth", b.defaultStartWidth);
    f("defaultEndWidth", b.defaultEndWidth);
    f("elevation", b.elevation);
}
void describe(FieldWriter& f, const VertexBody& b) {
    f("point", b.point);
    f("startWidth", b.startWidth);
    f("endWidth", b.endWidth);
    f("hasStartWidth", b.hasStartWidth);
    f("hasEndWidth", b.hasEndWidth);
    f("bulge", b.bulge);
    f("tangentDirection", b.tangentDirection);
    f("flags", b.flags);
    f("faceVertexCount", b.faceVertexCount);
    f("faceVertices", b.faceVertices);
}
void describe(FieldWriter& f, const DimensionBody& b) {
    f("definitionPoint", b.definitionPoint);
    f("textMidpoint", b.textMidpoint);
    f("cloneInsertionPoint", b.cloneInsertionPoint);
    f("point13", b.point13);
    f("point14", b.point14);
    f("point15", b.point15);
    f("point16", b.point16);
    f("typeFlags", b.typeFlags);
    f("hasCloneInsertion", b.hasCloneInsertion);
    f("attachment", b.attachment);
    f("lineSpacingStyle", b.lineSpacingStyle);
    f("lineSpacingFactor", b.lineSpacingFactor);
    f("actualMeasurement", b.actualMeasurement);
    f("leaderLength", b.leaderLength);
    f("rotation", b.rotation);
    f("horizontalDirection", b.horizontalDirection);
    f("extensionLineRotation", b.extensionLineRotation);
    f("textRotation", b.textRotation);
    f("insertionRotation", b.insertionRotation);
    f("userText", b.userText);
    f("dimensionStyle", b.dimensionStyle);
    f("block", b.block);
}
void describe(FieldWriter& f, const ViewportBody& b) {
    f("centre", b.centre);
    f("width", b.width);
    f("height", b.height);
    f("status", b.status);
    f("id", b.id);
    f("viewTarget", b.viewTarget);
    f("viewDirection", b.viewDirection);
    f("twistAngle", b.twistAngle);
    f("viewHeight", b.viewHeight);
    f("lensLength", b.lensLength);
    f("frontClip", b.frontClip);
    f("backClip", b.backClip);
    f("snapAngle", b.snapAngle);
    f("viewCentre", b.viewCentre);
    f("snapBase", b.snapBase);
    f("snapSpacing", b.snapSpacing);
    f("gridSpacing", b.gridSpacing);
    f("circleZoom", b.circleZoom);
    f("frozenLayers", b.frozenLayers);
    f("statusFlags", b.statusFlags);
    f("styleSheet", b.styleSheet);
    f("renderMode", b.renderMode);
    f("ucsAtOrigin", b.ucsAtOrigin);
    f("ucsPerViewport", b.ucsPerViewport);
    f("ucsIcon", b.ucsIcon);
    f("ucsOrigin", b.ucsOrigin);
    f("ucsXAxis", b.ucsXAxis);
    f("ucsYAxis", b.ucsYAxis);
    f("ucsElevation", b.ucsElevation);
    f("ucsOrthographicType", b.ucsOrthographicType);
    f("clipBoundary", b.clipBoundary);
    f("viewportEntityHeader", b.viewportEntityHeader);
    f("namedUcs", b.namedUcs);
    f("baseUcs", b.baseUcs);
}
void describe(FieldWriter& f, const MtextBody& b) {
    f("insertion", b.insertion);
    f("xDirection", b.xDirection);
    f("referenceWidth", b.referenceWidth);
    f("textHeight", b.textHeight);
    f("attachment", b.attachment);
    f("drawingDirection", b.drawingDirection);
    f("extentsHeight", b.extentsHeight);
    f("extentsWidth", b.extentsWidth);
    f("lineSpacingStyle", b.lineSpacingStyle);
    f("lineSpacingFactor", b.lineSpacingFactor);
    f("text", b.text);
    f("style", b.style);
}
void describe(FieldWriter& f, const LeaderBody& b) {
    f("points", b.points);
    f("annotationType", b.annotationType);
    f("pathType", b.pathType);
    f("arrowheadOn", b.arrowheadOn);
    f("hookLineOnXDirection", b.hookLineOnXDirection);
    f("hookLine", b.hookLine);
    f("byBlockColour", b.byBlockColour);
    f("textHeight", b.textHeight);
    f("textWidth", b.textWidth);
    f("horizontalDirection", b.horizontalDirection);
    f("blockOffset", b.blockOffset);
    f("annotationOffset", b.annotationOffset);
    f("annotation", b.annotation);
    f("dimensionStyle", b.dimensionStyle);
}
void describe(FieldWriter& f, const ToleranceBody& b) {
    f("insertion", b.insertion);
    f("xDirection", b.xDirection);
    f("textHeight", b.textHeight);
    f("text", b.text);
    f("dimensionStyle", b.dimensionStyle);
}
void describe(FieldWriter& f, const MlineBody& b) {
    f("scale", b.scale);
    f("justification", b.justification);
    f("basePoint", b.basePoint);
    f("flags", b.flags);
    f("lineCount", b.lineCount);
    f("vertices", b.vertices);
    f("style", b.style);
}
void describe(FieldWriter& f, const LwpolylineBody& b) {
    f("flags", b.flags);
    f("constantWidth", b.constantWidth);
    f("elevation", b.elevation);
    f("vertices", b.vertices);
}
void describe(FieldWriter& f, const HatchBody& b) {
    f("elevation", b.elevation);
    f("patternName", b.patternName);
    f("solidFill", b.solidFill);
    f("associative", b.associative);
    f("paths", b.paths);
    f("style", b.style);
    f("patternType", b.patternType);
    f("patternAngle", b.patternAngle);
    f("patternScale", b.patternScale);
    f("patternDouble", b.patternDouble);
    f("patternLines", b.patternLines);
    f("pixelSize", b.pixelSize);
    f("seedPoints", b.seedPoints);
}
void describe(FieldWriter& f, const RasterImageBody& b) {
    f("classVersion", b.classVersion);
    f("insertion", b.insertion);
    f("uVector", b.uVector);
    f("vVector", b.vVector);
    f("size", b.size);
    f("displayProperties", b.displayProperties);
    f("clipping", b.clipping);
    f("brightness", b.brightness);
    f("contrast", b.contrast);
    f("fade", b.fade);
    f("clipBoundaryType", b.clipBoundaryType);
    f("clipVertices", b.clipVertices);
    f("imageDefinition", b.imageDefinition);
    f("imageDefinitionReactor", b.imageDefinitionReactor);
    f("graphics", b.graphics);
    f("picture", b.picture);
}
void describe(FieldWriter& f, const Ole2FrameBody& b) {
    f("oleVersion", b.oleVersion);
    f("oleType", b.oleType);
    f("mode", b.mode);
    f("trailingByte", b.trailingByte);
    f("upperLeft", b.upperLeft);
    f("lowerRight", b.lowerRight);
    f("data", b.data);
}
void describe(FieldWriter& f, const RtextBody& b) {
    f("insertion", b.insertion);
    f("rotation", b.rotation);
    f("height", b.height);
    f("flags", b.flags);
    f("contents", b.contents);
    f("style", b.style);
    f("graphics", b.graphics);
}
void describe(FieldWriter& f, const ArcAlignedTextBody& b) {
    f("text", b.text);
    f("fontName", b.fontName);
    f("bigFontName", b.bigFontName);
    f("style", b.style);
    f("centre", b.centre);
    f("radius", b.radius);
    f("widthFactor", b.widthFactor);
    f("textSize", b.textSize);
    f("characterSpacing", b.characterSpacing);
    f("offsetFromArc", b.offsetFromArc);
    f("rightOffset", b.rightOffset);
    f("leftOffset", b.leftOffset);
    f("startAngle", b.startAngle);
    f("endAngle", b.endAngle);
    f("settings", b.settings);
    f("colour", b.colour);
    f("arc", b.arc);
    f("graphics", b.graphics);
}
void describe(FieldWriter& f, const ProxyEntityBody& b) {
    f("classNumber", b.classNumber);
    f("proxyClassId", b.proxyClassId);
    f("version", b.version);
    f("dataFormat", b.dataFormat);
    f("dataBitCount", b.dataBitCount);
    f("data", b.data);
    f("references", b.references);
    f("graphics", b.graphics);
    f("satText", b.satText);
}

void describe(FieldWriter& f, const ObjectHeader& h) {
    f("handle", h.handle);
    f("type", h.type);
    f("owner", h.owner);
    f("extensionDictionary", h.extensionDictionary);
    f("xdata", h.xdata);
    f("reactors", h.reactors);
}
void describe(FieldWriter& f, const DictionaryBody& b) {
    f("entries", b.entries);
    f("hardOwner", b.hardOwner);
    f("cloning", b.cloning);
}
void describe(FieldWriter& f, const DictionaryWithDefaultBody& b) {
    f("entries", b.entries);
    f("cloning", b.cloning);
    f("defaultEntry", b.defaultEntry);
}
void describe(FieldWriter& f, const MlineStyleBody& b) {
    f("name", b.name);
    f("description", b.description);
    f("flags", b.flags);
    f("fillColour", b.fillColour);
    f("startAngle", b.startAngle);
    f("endAngle", b.endAngle);
    f("elements", b.elements);
}
void describe(FieldWriter& f, const GroupBody& b) {
    f("description", b.description);
    f("unnamed", b.unnamed);
    f("selectable", b.selectable);
    f("members", b.members);
}
void describe(FieldWriter& f, const XrecordBody& b) {
    f("cloning", b.cloning);
    f("data", b.data);
}
void describe(FieldWriter& f, const DimAssocPointReference& r) {
    f("className", r.className);
    f("objectSnapType", r.objectSnapType);
    f("mainObjects", r.mainObjects);
    f("mainSubentityType", r.mainSubentityType);
    f("mainGraphicsIndex", r.mainGraphicsIndex);
    f("path", r.path);
    f("snapParameter", r.snapParameter);
    f("snapPoint", r.snapPoint);
    f("intersectionObject", r.intersectionObject);
    f("intersectionSubentityType", r.intersectionSubentityType);
    f("intersectionGraphicsIndex", r.intersectionGraphicsIndex);
    f("intersectionPath", r.intersectionPath);
    f("hasLastPointReference", r.hasLastPointReference);
}
void describe(FieldWriter& f, const DimAssocBody& b) {
    f("dimension", b.dimension);
    f("associativity", b.associativity);
    f("transSpace", b.transSpace);
    f("rotatedType", b.rotatedType);
    f("references", b.references);
}
void describe(FieldWriter& f, const IdBufferBody& b) { f("ids", b.ids); }
void describe(FieldWriter& f, const DictionaryVarBody& b) {
    f("schema", b.schema);
    f("value", b.value);
}
void describe(FieldWriter& f, const ImageDefBody& b) {
    f("classVersion", b.classVersion);
    f("fileName", b.fileName);
    f("imageSize", b.imageSize);
    f("pixelSize", b.pixelSize);
    f("loaded", b.loaded);
    f("resolutionUnits", b.resolutionUnits);
}
void describe(FieldWriter& f, const ImageDefReactorBody& b) {
    f("classVersion", b.classVersion);
    f("image", b.image);
}
void describe(FieldWriter& f, const LayerIndexEntry& e) {
    f("name", e.name);
    f("handle", e.handle);
    f("indexCount", e.indexCount);
}
void describe(FieldWriter& f, const LayerIndexBody& b) {
    f("timeStamp1", b.timeStamp1);
    f("timeStamp2", b.timeStamp2);
    f("entries", b.entries);
}
void describe(FieldWriter& f, const ObjectPtrBody& b) {
    f("dataBitCount", b.dataBitCount);
    f("data", b.data);
}
void describe(FieldWriter& f, const RasterVariablesBody& b) {
    f("classVersion", b.classVersion);
    f("displayFrame", b.displayFrame);
    f("displayQuality", b.displayQuality);
    f("units", b.units);
}
void describe(FieldWriter& f, const SortEntry& e) {
    f("entity", e.entity);
    f("sortHandle", e.sortHandle);
}
void describe(FieldWriter& f, const SortentsTableBody& b) {
    f("block", b.block);
    f("entries", b.entries);
}
void describe(FieldWriter& f, const SpatialFilterBody& b) {
    f("boundary", b.boundary);
    f("normal", b.normal);
    f("origin", b.origin);
    f("displayBoundary", b.displayBoundary);
    f("frontClipOn", b.frontClipOn);
    f("frontDistance", b.frontDistance);
    f("backClipOn", b.backClipOn);
    f("backDistance", b.backDistance);
    f("inverseBlockTransform", b.inverseBlockTransform);
    f("clipTransform", b.clipTransform);
}
void describe(FieldWriter& f, const SpatialIndexBody& b) {
    f("timeStamp1", b.timeStamp1);
    f("timeStamp2", b.timeStamp2);
    f("extents", b.extents);
    f("data", b.data);
    f("reference", b.reference);
    f("furtherBitCount", b.furtherBitCount);
    f("furtherBits", b.furtherBits);
}
void describe(FieldWriter& f, const PlotSettings& s) {
    f("pageSetupName", s.pageSetupName);
    f("plotConfigName", s.plotConfigName);
    f("paperSizeName", s.paperSizeName);
    f("plotViewName", s.plotViewName);
    f("styleSheet", s.styleSheet);
    f("leftMargin", s.leftMargin);
    f("bottomMargin", s.bottomMargin);
    f("rightMargin", s.rightMargin);
    f("topMargin", s.topMargin);
    f("paperWidth", s.paperWidth);
    f("paperHeight", s.paperHeight);
    f("plotOrigin", s.plotOrigin);
    f("windowMin", s.windowMin);
    f("windowMax", s.windowMax);
    f("realWorldUnits", s.realWorldUnits);
    f("drawingUnits", s.drawingUnits);
    f("plotLayoutFlags", s.plotLayoutFlags);
    f("paperUnits", s.paperUnits);
    f("plotRotation", s.plotRotation);
    f("plotType", s.plotType);
    f("scaleType", s.scaleType);
    f("scaleFactor", s.scaleFactor);
    f("paperImageOrigin", s.paperImageOrigin);
}
void describe(FieldWriter& f, const PlotSettingsBody& b) { describe(f, b.settings); }
void describe(FieldWriter& f, const LayoutBody& b) {
    describe(f, b.settings);
    f("name", b.name);
    f("flags", b.flags);
    f("tabOrder", b.tabOrder);
    f("limitsMin", b.limitsMin);
    f("limitsMax", b.limitsMax);
    f("insertionBase", b.insertionBase);
    f("extentsMin", b.extentsMin);
    f("extentsMax", b.extentsMax);
    f("elevation", b.elevation);
    f("ucsOrigin", b.ucsOrigin);
    f("ucsXAxis", b.ucsXAxis);
    f("ucsYAxis", b.ucsYAxis);
    f("orthographicType", b.orthographicType);
    f("block", b.block);
    f("lastActiveViewport", b.lastActiveViewport);
    f("namedUcs", b.namedUcs);
    f("baseUcs", b.baseUcs);
}
void describe(FieldWriter& f, const VbaProjectBody& b) { f("data", b.data); }
void describe(FieldWriter& f, const WipeoutVariablesBody& b) { f("displayFrame", b.displayFrame); }
void describe(FieldWriter&, const PlaceholderBody&) {}
void describe(FieldWriter& f, const ProxyObjectBody& b) {
    f("classNumber", b.classNumber);
    f("proxyClassId", b.proxyClassId);
    f("applicationClassId", b.applicationClassId);
    f("version", b.version);
    f("dataFormat", b.dataFormat);
    f("dataBitCount", b.dataBitCount);
    f("data", b.data);
    f("references", b.references);
}

void describe(FieldWriter& f, const TableRecordCommon& r) {
    f("handle", r.handle);
    f("name", r.name);
    f("owner", r.owner);
    f("endOfTable", r.endOfTable);
    f("xrefIndex", r.xrefIndex);
    f("flags", r.flags);
    f("deleted", r.deleted);
    f("extensionDictionary", r.extensionDictionary);
    f("xdata", r.xdata);
    f("reactors", r.reactors);
}
void describe(FieldWriter& f, const LayerRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("colour", r.colour);
    f("linetype", r.linetype);
    f("plotFlag", r.plotFlag);
    f("lineweight", r.lineweight);
    f("plotStyle", r.plotStyle);
    f("frozenInViewports", r.frozenInViewports);
}
void describe(FieldWriter& f, const LinetypeDash& d) {
    f("length", d.length);
    f("shapeNumber", d.shapeNumber);
    f("scale", d.scale);
    f("rotation", d.rotation);
    f("offset", d.offset);
    f("style", d.style);
    f("complexFlags", d.complexFlags);
    f("textPosition", d.textPosition);
}
void describe(FieldWriter& f, const LinetypeRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("description", r.description);
    f("alignment", r.alignment);
    f("dashCount", r.dashCount);
    f("patternLength", r.patternLength);
    f("dashes", r.dashes);
    f("textArea", r.textArea);
}
void describe(FieldWriter& f, const StyleRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("bigFontFile", r.bigFontFile);
    f("generation", r.generation);
    f("fontFile", r.fontFile);
    f("obliqueAngle", r.obliqueAngle);
    f("fixedHeight", r.fixedHeight);
    f("widthFactor", r.widthFactor);
    f("lastHeight", r.lastHeight);
    f("xrefBlock", r.xrefBlock);
}
void describe(FieldWriter& f, const ViewUcs& u) {
    f("origin", u.origin);
    f("xAxis", u.xAxis);
    f("yAxis", u.yAxis);
    f("orthographicType", u.orthographicType);
    f("elevation", u.elevation);
    f("namedUcs", u.namedUcs);
    f("baseUcs", u.baseUcs);
}
void describe(FieldWriter& f, const ViewRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("backClip", r.backClip);
    f("centre", r.centre);
    f("target", r.target);
    f("frontClip", r.frontClip);
    f("height", r.height);
    f("lensLength", r.lensLength);
    f("direction", r.direction);
    f("twist", r.twist);
    f("viewMode", r.viewMode);
    f("width", r.width);
    f("renderMode", r.renderMode);
    f("hasUcs", r.hasUcs);
    f("ucs", r.ucs);
}
void describe(FieldWriter& f, const VportRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("lowerLeft", r.lowerLeft);
    f("upperRight", r.upperRight);
    f("snapBase", r.snapBase);
    f("snapSpacing", r.snapSpacing);
    f("gridSpacing", r.gridSpacing);
    f("centre", r.centre);
    f("direction", r.direction);
    f("target", r.target);
    f("snapAngle", r.snapAngle);
    f("height", r.height);
    f("viewMode", r.viewMode);
    f("circleZoom", r.circleZoom);
    f("fastZoom", r.fastZoom);
    f("ucsIcon", r.ucsIcon);
    f("aspect", r.aspect);
    f("backClip", r.backClip);
    f("frontClip", r.frontClip);
    f("snapStyle", r.snapStyle);
    f("lensLength", r.lensLength);
    f("snapIsoPair", r.snapIsoPair);
    f("snapOn", r.snapOn);
    f("twist", r.twist);
    f("gridOn", r.gridOn);
    f("renderMode", r.renderMode);
    f("ucsPerViewport", r.ucsPerViewport);
    f("ucs", r.ucs);
}
void describe(FieldWriter& f, const AppIdRecord& r) { describe(f, static_cast<const TableRecordCommon&>(r)); }
void describe(FieldWriter& f, const DimStyleRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("dimpost", r.dimpost);
    f("dimapost", r.dimapost);
    f("dimscale", r.dimscale);
    f("dimasz", r.dimasz);
    f("dimexo", r.dimexo);
    f("dimdli", r.dimdli);
    f("dimexe", r.dimexe);
    f("dimrnd", r.dimrnd);
    f("dimdle", r.dimdle);
    f("dimtp", r.dimtp);
    f("dimtm", r.dimtm);
    f("dimtol", r.dimtol);
    f("dimlim", r.dimlim);
    f("dimtih", r.dimtih);
    f("dimtoh", r.dimtoh);
    f("dimse1", r.dimse1);
    f("dimse2", r.dimse2);
    f("dimtad", r.dimtad);
    f("dimzin", r.dimzin);
    f("dimazin", r.dimazin);
    f("dimtxt", r.dimtxt);
    f("dimcen", r.dimcen);
    f("dimtsz", r.dimtsz);
    f("dimaltf", r.dimaltf);
    f("dimlfac", r.dimlfac);
    f("dimtvp", r.dimtvp);
    f("dimtfac", r.dimtfac);
    f("dimgap", r.dimgap);
    f("dimaltrnd", r.dimaltrnd);
    f("dimalt", r.dimalt);
    f("dimaltd", r.dimaltd);
    f("dimtofl", r.dimtofl);
    f("dimsah", r.dimsah);
    f("dimtix", r.dimtix);
    f("dimsoxd", r.dimsoxd);
    f("dimclrd", r.dimclrd);
    f("dimclre", r.dimclre);
    f("dimclrt", r.dimclrt);
    f("dimadec", r.dimadec);
    f("dimlunit", r.dimlunit);
    f("dimdec", r.dimdec);
    f("dimtdec", r.dimtdec);
    f("dimaltu", r.dimaltu);
    f("dimalttd", r.dimalttd);
    f("dimaunit", r.dimaunit);
    f("dimfrac", r.dimfrac);
    f("dimdsep", r.dimdsep);
    f("dimtmove", r.dimtmove);
    f("dimjust", r.dimjust);
    f("dimsd1", r.dimsd1);
    f("dimsd2", r.dimsd2);
    f("dimtolj", r.dimtolj);
    f("dimtzin", r.dimtzin);
    f("dimaltz", r.dimaltz);
    f("dimalttz", r.dimalttz);
    f("dimatfit", r.dimatfit);
    f("dimupt", r.dimupt);
    f("dimlwd", r.dimlwd);
    f("dimlwe", r.dimlwe);
    f("dimtxsty", r.dimtxsty);
    f("dimldrblk", r.dimldrblk);
    f("dimblk", r.dimblk);
    f("dimblk1", r.dimblk1);
    f("dimblk2", r.dimblk2);
}
void describe(FieldWriter& f, const UcsRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("origin", r.origin);
    f("xAxis", r.xAxis);
    f("yAxis", r.yAxis);
    f("orthographicType", r.orthographicType);
    f("orthographicTypeAlt", r.orthographicTypeAlt);
    f("elevation", r.elevation);
    f("baseUcs", r.baseUcs);
    f("orthographicOrigin", r.orthographicOrigin);
}
void describe(FieldWriter& f, const BlockRecord& r) {
    describe(f, static_cast<const TableRecordCommon&>(r));
    f("layout", r.layout);
    f("basePoint", r.basePoint);
    f("xrefPath", r.xrefPath);
    f("description", r.description);
    f("blockEntity", r.blockEntity);
    f("endBlockEntity", r.endBlockEntity);
    f("entityCount", r.entityCount);
    f("overlay", r.overlay);
    f("xrefState", r.xrefState);
    f("xrefDisabled", r.xrefDisabled);
    f("preview", r.preview);
    f("insertReferences", r.insertReferences);
}
void describe(FieldWriter& f, const ViewportIndexEntry& e) {
    f("viewport", e.viewport);
    f("viewportEntityHeader", e.viewportEntityHeader);
}
void describe(FieldWriter& f, const ClassEntry& c) {
    f("number", c.number);
    f("dxfName", c.dxfName);
    f("className", c.className);
    f("applicationName", c.applicationName);
    f("proxyFlags", c.proxyFlags);
    f("wasAZombie", c.wasAZombie);
    f("itemClassId", c.itemClassId);
}
void describe(FieldWriter& f, const HeaderDate& d) {
    f("day", d.day);
    f("milliseconds", d.milliseconds);
}

template <class T>
concept Describable = requires(FieldWriter& f, const T& value) { describe(f, value); };

// --- Value formats (all declared before any is defined: they call each other) ------------------

void appendValue(std::string& out, int64_t value);
void appendValue(std::string& out, uint64_t value);
void appendValue(std::string& out, double value);
void appendValue(std::string& out, Handle value);
void appendValue(std::string& out, const Point2& value);
void appendValue(std::string& out, const Point3& value);
void appendValue(std::string& out, const std::string& value);
void appendValue(std::string& out, const OwnedStream& value);
template <std::integral T>
void appendValue(std::string& out, T value);
template <class T, class A>
void appendValue(std::string& out, const std::vector<T, A>& values);
template <class T, size_t N>
void appendValue(std::string& out, const std::array<T, N>& values);
template <class... Ts>
void appendValue(std::string& out, const std::variant<Ts...>& value);
template <Describable T>
void appendValue(std::string& out, const T& value);


// --- Value formats: definitions -----------------------------------------------------------------

void appendValue(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendValue(std::string& out, uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

template <std::integral T>
void appendValue(std::string& out, T value) {
    if constexpr (std::is_signed_v<T>) {
        appendValue(out, int64_t(value));
    } else {
        appendValue(out, uint64_t(value));
    }
}

// The shortest text that reads back as the same double.
void appendValue(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendValue(std::string& out, Handle value) { out += dbHandleToHex(value); }

void appendValue(std::string& out, const Point2& value) {
    out += '(';
    appendValue(out, value.x);
    out += ',';
    appendValue(out, value.y);
    out += ')';
}

void appendValue(std::string& out, const Point3& value) {
    out += '(';
    appendValue(out, value.x);
    out += ',';
    appendValue(out, value.y);
    out += ',';
    appendValue(out, value.z);
    out += ')';
}

// Quoted, with '"', '\' and every byte outside 0x20-0x7E escaped.
void appendValue(std::string& out, const std::string& value) {
    static const char digits[] = "0123456789ABCDEF";
    out += '"';
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c > 0x7E) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else {
            out += char(c);
        }
    }
    out += '"';
}

// "-" without a stream, else "#" and the bytes in hexadecimal.
void appendValue(std::string& out, const OwnedStream& value) {
    if (!value) {
        out += '-';
        return;
    }
    out += '#';
    out += dbBytesToHex(value.bytes().data(), value.size());
}

template <class T, class A>
void appendValue(std::string& out, const std::vector<T, A>& values) {
    out += '[';
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += ',';
        appendValue(out, values[i]);
    }
    out += ']';
}

template <class T, size_t N>
void appendValue(std::string& out, const std::array<T, N>& values) {
    out += '[';
    for (size_t i = 0; i < N; ++i) {
        if (i) out += ',';
        appendValue(out, values[i]);
    }
    out += ']';
}

template <Describable T>
void appendValue(std::string& out, const T& value) {
    out += '{';
    FieldWriter nested(out, false);
    describe(nested, value);
    out += '}';
}

// A variant as the index of its alternative and the alternative (hatch edges: 1 line ...).
template <class... Ts>
void appendValue(std::string& out, const std::variant<Ts...>& value) {
    appendValue(out, value.index() + 1);
    std::visit([&](const auto& alternative) { appendValue(out, alternative); }, value);
}

template <class T>
void FieldWriter::operator()(std::string_view name, const T& value) {
    if (space_) out_ += ' ';
    space_ = true;
    out_ += name;
    out_ += '=';
    appendValue(out_, value);
}

// --- Lines --------------------------------------------------------------------------------------

using WriteLine = std::function<void(std::string_view)>;

template <class Record>
void writeRecord(const WriteLine& writeLine, std::string_view kind, const Record& record) {
    std::string line(kind);
    FieldWriter f(line);
    describe(f, record);
    writeLine(line);
}

template <class Body>
void describeBody(FieldWriter& f, const Body& body) {
    body.visit([&](const auto& value) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(value)>, std::monostate>) describe(f, value);
    });
}

std::string typeName(const Drawing& drawing, uint16_t type) { return dbEntityKindName(drawing.classes, type); }

void writeHeader(const HeaderBlock& header, const WriteLine& writeLine) {
    for (const HeaderVariable& variable : dbHeaderVariableTable()) {
        std::string line = "HEADER ";
        line += variable.name;
        line += ' ';
        std::visit([&](const auto& value) { appendValue(line, value); }, dbGetHeaderValue(header, variable));
        writeLine(line);
    }
    std::string line = "HEADER-DWG";
    FieldWriter f(line);
    f("shortsAfterCoords", header.dwgShortsAfterCoords);
    f("doubleAfterExtnames", header.dwgDoubleAfterExtnames);
    f("byteAfterInsunits", header.dwgByteAfterInsunits);
    f("doubleAfterJoinstyle", header.dwgDoubleAfterJoinstyle);
    f("byteAfterTduupdate", header.dwgByteAfterTduupdate);
    f("shortsAfterTreedepth", header.dwgShortsAfterTreedepth);
    f("leadingDouble", header.dwgLeadingDouble);
    f("leadingUnits", header.dwgLeadingUnits);
    f("leadingLong", header.dwgLeadingLong);
    f("leadingTexts", header.dwgLeadingTexts);
    f("leadingLong2", header.dwgLeadingLong2);
    f("leadingShort", header.dwgLeadingShort);
    f("isolines", header.dwgIsolines);
    f("textQuality", header.dwgTextQuality);
    f("facetResolution", header.dwgFacetResolution);
    f("polygonEllipse", header.dwgPolygonEllipse);
    f("stackedTextAlign", header.dwgStackedTextAlign);
    f("stackedTextSize", header.dwgStackedTextSize);
    f("oleStartup", header.dwgOleStartup);
    f("trailingShorts", header.dwgTrailingShorts);
    writeLine(line);
    line = "HEADER-CURRENT";
    FieldWriter c(line);
    c("celtype", header.current.celtype);
    c("clayer", header.current.clayer);
    c("cmlstyle", header.current.cmlstyle);
    c("dimstyle", header.current.dimstyle);
    c("dimtxsty", header.current.dimtxsty);
    c("pucsname", header.current.pucsname);
    c("textstyle", header.current.textstyle);
    c("ucsname", header.current.ucsname);
    c("dimldrblk", header.arrowBlocks.dimldrblk);
    c("dimblk", header.arrowBlocks.dimblk);
    c("dimblk1", header.arrowBlocks.dimblk1);
    c("dimblk2", header.arrowBlocks.dimblk2);
    writeLine(line);
}

void writeHandles(const DrawingHandles& h, const WriteLine& writeLine) {
    std::string line = "HANDLES";
    FieldWriter f(line);
    f("blockControl", h.blockControl);
    f("layerControl", h.layerControl);
    f("styleControl", h.styleControl);
    f("linetypeControl", h.linetypeControl);
    f("viewControl", h.viewControl);
    f("ucsControl", h.ucsControl);
    f("vportControl", h.vportControl);
    f("appIdControl", h.appIdControl);
    f("dimStyleControl", h.dimStyleControl);
    f("viewportEntityHeaderControl", h.viewportEntityHeaderControl);
    f("mlineStyleDictionary", h.mlineStyleDictionary);
    f("groupDictionary", h.groupDictionary);
    f("namedObjectDictionary", h.namedObjectDictionary);
    f("modelSpaceBlock", h.modelSpaceBlock);
    f("paperSpaceBlock", h.paperSpaceBlock);
    f("byBlockLinetype", h.byBlockLinetype);
    f("byLayerLinetype", h.byLayerLinetype);
    f("modelSpaceBlockEntity", h.modelSpaceBlockEntity);
    f("modelSpaceEndBlockEntity", h.modelSpaceEndBlockEntity);
    f("paperSpaceBlockEntity", h.paperSpaceBlockEntity);
    f("paperSpaceEndBlockEntity", h.paperSpaceEndBlockEntity);
    f("further", h.further);
    f("plotStyleDictionary", h.plotStyleDictionary);
    f("layoutDictionary", h.layoutDictionary);
    f("plotSettingsDictionary", h.plotSettingsDictionary);
    f("viewportEntityHeader", h.viewportEntityHeader);
    writeLine(line);
}

template <class List>
void writeTable(const List& list, std::string_view kind, const WriteLine& writeLine) {
    for (const auto& node : list) writeRecord(writeLine, kind, node.record);
}

template <class Node>
std::vector<const Node*> sortedByHandle(const RecordList<Node>& list, auto handleOf) {
    std::vector<const Node*> nodes;
    for (const Node& node : list) nodes.push_back(&node);
    std::stable_sort(nodes.begin(), nodes.end(),
                     [&](const Node* a, const Node* b) { return handleOf(*a) < handleOf(*b); });
    return nodes;
}

// A drawing of a version the reader does not know, read as an older one: the version the file
// names and what it lost.
std::string versionFallbackLine(const Drawing& drawing) {
    const VersionFallbackNote& note = drawing.versionFallback;
    std::string line = "NOTE read as ";
    line += drawing.versionIndex >= 0 && drawing.versionIndex <= kVersionAC1015
                ? kVersionSignatures[size_t(drawing.versionIndex)]
                : std::string_view("an unknown version");
    line += ": the file names version ";
    appendValue(line, note.fileVersion);
    line += "; ";
    line += std::to_string(note.classesNotKept);
    line += note.classesNotKept == 1 ? " class and " : " classes and ";
    line += std::to_string(note.objectsNotKept);
    line += note.objectsNotKept == 1 ? " object not kept" : " objects not kept";
    return line;
}

void writeSummary(const Drawing& drawing, const WriteLine& writeLine) {
    std::string line = "COUNTS";
    FieldWriter f(line);
    f("classes", dbCountClasses(drawing.classes));
    f("linetypes", dbListCount(&drawing.linetypes));
    f("layers", dbListCount(&drawing.layers));
    f("styles", dbListCount(&drawing.styles));
    f("views", dbListCount(&drawing.views));
    f("ucss", dbListCount(&drawing.ucss));
    f("vports", dbListCount(&drawing.vports));
    f("appIds", dbListCount(&drawing.appIds));
    f("dimStyles", dbListCount(&drawing.dimStyles));
    f("blocks", dbListCount(&drawing.blocks));
    int64_t entities = 0;
    for (const BlockNode& block : drawing.blocks) entities += block.entityList ? dbListCount(block.entityList.get()) : 0;
    f("entities", entities);
    f("modelSpaceEntities", drawing.modelSpace ? dbListCount(drawing.modelSpace) : 0);
    f("paperSpaceEntities", drawing.paperSpace ? dbListCount(drawing.paperSpace) : 0);
    f("objects", dbListCount(&drawing.objects));
    f("unplacedRecords", drawing.unplacedRecords);
    writeLine(line);

    // Entities by kind in model space, paper space and the other blocks together.
    auto countByKind = [&](std::string_view space, auto&& inSpace) {
        std::map<std::string, int64_t> counts;
        for (const BlockNode& block : drawing.blocks) {
            if (!block.entityList || !inSpace(block.entityList.get())) continue;
            for (const auto& node : *block.entityList) ++counts[typeName(drawing, node.record.header.type)];
        }
        std::string kinds = "ENTITY-COUNTS space=";
        kinds += space;
        FieldWriter k(kinds);
        for (const auto& [name, count] : counts) k(name, count);
        writeLine(kinds);
    };
    countByKind("model", [&](const EntityList* list) { return list == drawing.modelSpace; });
    countByKind("paper", [&](const EntityList* list) { return list == drawing.paperSpace; });
    countByKind("blocks", [&](const EntityList* list) { return list != drawing.modelSpace && list != drawing.paperSpace; });
}

} // namespace

std::string dbDumpEntity(const Drawing& drawing, const EntityRecord& entity) {
    std::string line = "ENTITY ";
    line += typeName(drawing, entity.header.type);
    FieldWriter f(line);
    f("type", entity.header.type);
    describe(f, entity.header);
    describeBody(f, entity.body);
    return line;
}

void dbDumpDrawing(const Drawing& drawing, DumpMode mode, const WriteLine& writeLine) {
    std::string line = "DRAWING";
    FieldWriter f(line);
    f("version", drawing.versionIndex);
    f("creationVersion", drawing.creationVersion);
    f("sourceFormat", static_cast<int>(drawing.sourceFormat));
    f("handleSeed", drawing.handleSeed);
    writeLine(line);
    if (drawing.versionFallback.any()) writeLine(versionFallbackLine(drawing));
    if (mode == DumpMode::Summary) {
        writeSummary(drawing, writeLine);
        return;
    }
    if (drawing.header) writeHeader(*drawing.header, writeLine);
    writeHandles(drawing.handles, writeLine);
    line = "PREVIEW";
    FieldWriter p(line);
    p("bitmap", drawing.previewBitmap);
    p("metafile", drawing.previewMetafile);
    writeLine(line);
    for (const ClassEntry& entry : drawing.classes.entries) writeRecord(writeLine, "CLASS", entry);
    writeTable(drawing.linetypes, "LTYPE", writeLine);
    writeTable(drawing.layers, "LAYER", writeLine);
    writeTable(drawing.styles, "STYLE", writeLine);
    writeTable(drawing.views, "VIEW", writeLine);
    writeTable(drawing.ucss, "UCS", writeLine);
    writeTable(drawing.vports, "VPORT", writeLine);
    writeTable(drawing.appIds, "APPID", writeLine);
    writeTable(drawing.dimStyles, "DIMSTYLE", writeLine);
    const auto blocks = sortedByHandle(drawing.blocks, [](const BlockNode& node) { return node.record.handle; });
    for (const BlockNode* block : blocks) writeRecord(writeLine, "BLOCK_RECORD", block->record);
    for (const BlockNode* block : blocks) {
        line = "ENTITIES";
        FieldWriter b(line);
        b("block", block->record.handle);
        b("count", block->entityList ? dbListCount(block->entityList.get()) : 0);
        writeLine(line);
        if (!block->entityList) continue;
        for (const EntityNode& node : *block->entityList) writeLine(dbDumpEntity(drawing, node.record));
    }
    writeTable(drawing.viewportIndex, "VIEWPORT_INDEX", writeLine);
    for (const ObjectNode* node :
         sortedByHandle(drawing.objects, [](const ObjectNode& node) { return node.record.header.handle; })) {
        line = "OBJECT";
        FieldWriter o(line);
        describe(o, node->record.header);
        describeBody(o, node->record.body);
        writeLine(line);
    }
}

std::string dbDumpDrawingText(const Drawing& drawing, DumpMode mode) {
    std::string text;
    dbDumpDrawing(drawing, mode, [&](std::string_view line) {
        text += line;
        text += '\n';
    });
    return text;
}

} // namespace tracemill
