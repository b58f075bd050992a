// The vectoriser's dispatch by kind, and the handlers of the kinds that are small enough to be
// drawn here: lines, points, circles and arcs, shapes, fills, faces, text, MTEXT and RTEXT,
// viewports, infinite lines, splines, solids, embedded objects and the class-based kinds; leaders,
// multilines, tolerance frames and proxy graphics go to their own drawers.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/acis_entity.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_vectoriser.h"
#include "toolkit/display/extents_collection.h"
#include "toolkit/display/file_stream.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_names.h"
#include "toolkit/display/entity_pass_values.h"
#include "toolkit/display/hatch/hatch_display.h"
#include "toolkit/display/infinite_line.h"
#include "toolkit/display/leader_drawer.h"
#include "toolkit/display/mline_drawer.h"
#include "toolkit/display/proxy/proxy_graphics.h"
#include "toolkit/display/raster/raster_image.h"
#include "toolkit/display/tolerance_drawer.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/list_vectoriser.h"
#include "toolkit/display/ole_frame.h"
#include "toolkit/display/point_symbol.h"
#include "toolkit/display/spline_tessellation.h"
#include "toolkit/display/text/glyph_output.h"
#include "toolkit/display/text/mtext_display.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/single_line_text.h"
#include "toolkit/display/text/text_alignment.h"
#include "toolkit/display/viewport_border.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

constexpr double kFullTurn = 6.283185307179586;
// Flags of ATTRIB and ATTDEF.
constexpr uint8_t kAttributeInvisible = 0x01;
constexpr uint8_t kAttributeConstant = 0x02;
// A VIEWPORT whose status flags carry this bit has no border.
constexpr int32_t kViewportBorderOff = 0x10000;
// An RTEXT whose contents name a file.
constexpr int16_t kRtextFromFile = 0x01;
// PDMODE: nothing at all; the symbol bits; a circle and a square around the symbol.
constexpr int16_t kPointNone = 1;
constexpr int16_t kPointSymbolBits = 7;
constexpr int16_t kPointPlus = 2;
constexpr int16_t kPointCross = 3;
constexpr int16_t kPointTick = 4;
constexpr int16_t kPointCircle = 0x20;
constexpr int16_t kPointSquare = 0x40;
constexpr double kHalfDiagonal = 0.7071067811865476;

// The viewport whose view height a point symbol's relative size is taken from (and whose twist
// it turns against): viewport 0 in model-space display, viewport 1 in paper-space display with
// exactly one viewport on the sheet; null otherwise.
const ViewportRecord* symbolViewport(const DisplayContext& context) {
    if (context.paperSpace == 0) return &context.viewports[0];
    return context.viewportCount == 2 ? &context.viewports[1] : nullptr;
}

} // namespace

void ListVectoriser::dispatch(const ResolvedEntity& e) {
    const EntityRecord& entity = *e.entity;
    const uint16_t type = entity.header.type;
    const LinetypeRecord* linetype = e.linetype;
    const int16_t attmode = drawing_->header->attmode;
    switch (type) {
    case kEntityLine:
        drawLine(entity, linetype);
        return;
    case kEntityLine3d: {
        const LineBody& line = entity.bodyAs<LineBody>();
        drawStraight(line.start, line.end, linetype);
        return;
    }
    case kEntityPoint:
        drawPoint(e);
        return;
    case kEntityCircle:
    case kEntityArc:
    case kEntityEllipse:
        drawCurve(entity, linetype);
        return;
    case kEntityShape:
        drawShape(entity);
        return;
    case kEntityText: {
        const TextBody& text = entity.bodyAs<TextBody>();
        drawText(text, text.text);
        return;
    }
    case kEntityMtext:
        drawMText(entity.bodyAs<MtextBody>(), e);
        return;
    case kEntityAttributeDefinition: {
        const AttributeDefinitionBody& definition = entity.bodyAs<AttributeDefinitionBody>();
        if (depth_ == 0 && xrefDepth_ == 0)
            drawText(definition, definition.tag);
        else if ((definition.flags & kAttributeConstant) && !(definition.flags & kAttributeInvisible) &&
                 (attmode == 1 || attmode == 2))
            drawText(definition, definition.text);
        return;
    }
    case kEntityAttribute: {
        const AttributeBody& attribute = entity.bodyAs<AttributeBody>();
        if (attmode == 2 || (attmode == 1 && !(attribute.flags & kAttributeInvisible))) drawText(attribute, attribute.text);
        return;
    }
    case kEntityFace3d:
        drawFace(entity, linetype);
        return;
    case kEntityTrace:
    case kEntitySolid:
        drawCorners(entity, linetype);
        return;
    case kEntityViewport:
        drawViewport(entity);
        return;
    case kEntityRay:
    case kEntityXline: {
        const InfiniteLineBody& line = entity.bodyAs<InfiniteLineBody>();
        genDrawInfiniteLine(drawing_, type, line.basePoint, line.direction, matrices_.data(),
                            plainLinetype(linetype) ? nullptr : linetype);
        return;
    }
    case kEntitySpline:
        genDrawSpline(drawing_, entity.bodyAs<SplineBody>(), matrices_.data(), plainLinetype(linetype) ? nullptr : linetype,
                      nullptr, genCurveResolution(entity.header.flags), nullptr);
        return;
    case kEntityMline: {
        // The multiline drawer takes the layer's linetype beside the entity's.
        std::unique_ptr<LinetypeRecord> layerLinetype = dbNewObject<LinetypeRecord>();
        if (!layerLinetype) {
            fail(kErrorMlineLinetypeRecord);
            return;
        }
        if (const LinetypeRecord* found = linetypeIn(e.layer->drawing ? e.layer->drawing : drawing_, e.layer->linetype))
            *layerLinetype = *found;
        EntityPassValues pass = passValues(e);
        pass.byLayerLinetype = layerLinetype.get();
        genDrawMline(drawing_, entity.header, entity.bodyAs<MlineBody>(), pass);
        return;
    }
    case kEntityLeader:
        genDrawLeader(drawing_, entity.header, entity.bodyAs<LeaderBody>(), passValues(e));
        return;
    case kEntityTolerance:
        genDrawTolerance(drawing_, entity.header, entity.bodyAs<ToleranceBody>(), passValues(e));
        return;
    case kEntityRegion:
    case kEntitySolid3d:
    case kEntityBody:
        if (gOutputHookTable->solid)
            genDrawAcisEntity(drawing_, transform_, matrices_.data(), plainLinetype(linetype) ? nullptr : linetype,
                              entity.header, entity.bodyAs<AcisBody>().satText.get());
        return;
    default:
        if (dbIsClassNumber(type)) drawClassEntity(e);
        return;
    }
}

// The class-based kinds, recognised by the numbers the drawing gave their classes.
void ListVectoriser::drawClassEntity(const ResolvedEntity& e) {
    const EntityRecord& entity = *e.entity;
    const uint16_t type = entity.header.type;
    const ClassList& classes = drawing_->classes;
    if (type == dbClassLwpolyline(classes)) {
        drawLwpolyline(entity, e.linetype);
    } else if (type == dbClassOle2Frame(classes)) {
        if (const auto* frame = entity.body.getIf<Ole2FrameBody>()) genDrawOleFrame(drawing_, *frame, matrices_.data());
    } else if (type == dbClassRtext(classes)) {
        if (const auto* rtext = entity.body.getIf<RtextBody>(); rtext && (rtext->flags & kRtextFromFile))
            drawRtext(*rtext, e);
    } else if (type == dbClassHatch(classes)) {
        if (drawing_->header->fillmode != 0)
            genDrawHatch(drawing_, entity.header, entity.bodyAs<HatchBody>(), matrices_.data(),
                         plainLinetype(e.linetype) ? nullptr : e.linetype);
    } else if (type == dbClassImage(classes)) {
        genDrawRasterImage(drawing_, list_, entity, matrices_.data());
    } else if (const auto* proxy = entity.body.getIf<ProxyEntityBody>()) {
        // Entities of classes the toolkit does not model (wipeouts and arc-aligned text among
        // them): their ACIS data through slot 34, else the graphics stored with them.
        if (proxy->satText.get() && gOutputHookTable->solid)
            genDrawAcisEntity(drawing_, transform_, matrices_.data(), plainLinetype(e.linetype) ? nullptr : e.linetype,
                              entity.header, proxy->satText.get());
        else if (proxy->graphics)
            genDrawProxyGraphics(drawing_, entity.header, proxy->graphics.get(), passValues(e));
    }
}

// What the drawers of an entity get besides its geometry.
EntityPassValues ListVectoriser::passValues(const ResolvedEntity& e) {
    EntityPassValues pass;
    pass.transform = transform_;
    pass.matrices = matrices_.data();
    pass.colour = e.colour;
    pass.byLayerColour = e.layer->colour;
    pass.byBlockColour = int16_t(colour_);
    pass.linetype = plainLinetype(e.linetype) ? nullptr : e.linetype;
    pass.byLayerLinetype = linetypeIn(e.layer->drawing ? e.layer->drawing : drawing_, e.layer->linetype);
    pass.byBlockLinetype = linetype_;
    pass.plotStyle = e.plotStyle;
    pass.lineweight = int16_t(e.lineweight);
    pass.depth = depth_;
    pass.xrefDepth = xrefDepth_;
    pass.hiddenMask = context_.hiddenMask;
    pass.chain = &chain_;
    return pass;
}

void ListVectoriser::drawStraight(const Point3& a, const Point3& b, const LinetypeRecord* linetype) {
    genDrawLinetypedSegment(drawing_, a, b, matrices_.data(), plainLinetype(linetype) ? nullptr : linetype, nullptr,
                            ++context_.segmentCounter, 0.0);
}

// A LINE without a pattern bypasses the linetype drawer.
void ListVectoriser::drawLine(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const LineBody& line = entity.bodyAs<LineBody>();
    if (!plainLinetype(linetype)) {
        drawStraight(line.start, line.end, linetype);
        return;
    }
    const ViewportRange range = genEntityViewports(context_);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(context_, i)) genDrawSegmentInViewport(drawing_, line.start, line.end, matrices_.data(), i);
    }
    ++context_.segmentCounter;
}

// POINT: nothing with PDMODE 1, a dot with PDMODE 0 and on layer "DEFPOINTS", else the symbol
// PDMODE names, sized by PDSIZE (or by the view's height), in the point's own coordinate
// system when it has one.
void ListVectoriser::drawPoint(const ResolvedEntity& e) {
    const int16_t pdmode = drawing_->header->pdmode;
    if (pdmode == kPointNone) return;
    const PointBody& body = e.entity->bodyAs<PointBody>();
    const LinetypeRecord* linetype = plainLinetype(e.linetype) ? nullptr : e.linetype;
    Point3 at = body.point;
    const Matrix4* matrices = matrices_.data();
    std::vector<Matrix4> local;
    if (e.entity->header.flags & kEntityHasExtrusion) {
        // The symbol lies in the point's object coordinate system, its origin on the point.
        if (!dbTryResize(local, matrices_.size())) {
            fail(kErrorPointMatrices);
            return;
        }
        Matrix4 placed = transform_;
        genMatrixTranslate(at, placed);
        genMatrixMultiply(context_.entity.objectMatrix, placed, placed);
        for (size_t i = 0; i < local.size(); ++i) genMatrixMultiply(placed, context_.viewports[i].worldToDevice, local[i]);
        matrices = local.data();
        at = {};
    }
    const bool defpoints = e.layer->name == "DEFPOINTS";
    if (pdmode == 0 || defpoints) {
        genDrawLinetypedSegment(drawing_, at, at, matrices, linetype, nullptr, ++context_.segmentCounter, 0.0);
        return;
    }
    const double pdsize = drawing_->header->pdsize;
    const ViewportRecord* viewport = symbolViewport(context_);
    if (pdsize <= 0.0 && !viewport) return;
    const double size = pdsize > 0.0   ? pdsize
                        : pdsize < 0.0 ? -0.005 * pdsize * viewport->viewHeight
                                       : 0.02 * viewport->viewHeight;
    const double h = size * 0.5;
    // The view's twist: the angle by which the view turns the drawing on the device.
    const Matrix4& view = (viewport ? *viewport : context_.viewports[0]).worldToDevice;
    const SymbolFrame saved = context_.symbol;
    context_.symbol = {{at.x, at.y}, std::atan2(view.at(0, 1), view.at(1, 1)), matrices};
    const auto stroke = [&](double x0, double y0, double x1, double y1) {
        genDrawSymbolSegment(drawing_, {at.x + x0, at.y + y0, at.z}, {at.x + x1, at.y + y1, at.z}, linetype);
    };
    switch (pdmode & kPointSymbolBits) {
    case kPointPlus:
        stroke(-h, 0.0, h, 0.0);
        stroke(0.0, -h, 0.0, h);
        break;
    case kPointCross: {
        const double d = kHalfDiagonal * h;
        stroke(-d, -d, d, d);
        stroke(-d, d, d, -d);
        break;
    }
    case kPointTick:
        stroke(0.0, 0.0, 0.0, h);
        break;
    default:
        break;
    }
    if (pdmode & kPointCircle) genDrawArc(drawing_, at, 0.0, kFullTurn, h, matrices, true, nullptr, nullptr, linetype);
    if (pdmode & kPointSquare) {
        stroke(-h, -h, h, -h);
        stroke(h, -h, h, h);
        stroke(h, h, -h, h);
        stroke(-h, h, -h, -h);
    }
    context_.symbol = saved;
}

void ListVectoriser::drawCurve(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const uint16_t type = entity.header.type;
    const LinetypeRecord* pattern = plainLinetype(linetype) ? nullptr : linetype;
    if (type == kEntityEllipse) {
        genDrawEllipse(drawing_, entity.bodyAs<EllipseBody>(), transform_, pattern);
        return;
    }
    // A radius that is not a positive number draws nothing.
    const Point3& centre = type == kEntityCircle ? entity.bodyAs<CircleBody>().centre : entity.bodyAs<ArcBody>().centre;
    const double radius = type == kEntityCircle ? entity.bodyAs<CircleBody>().radius : entity.bodyAs<ArcBody>().radius;
    if (!(radius > 0.0) || !std::isfinite(radius)) return;
    if (type == kEntityCircle) {
        genDrawArc(drawing_, centre, 0.0, kFullTurn, radius, matrices_.data(), true, nullptr, nullptr, pattern);
        return;
    }
    // An arc whose end angle is below its start runs on through 0.
    const ArcBody& arc = entity.bodyAs<ArcBody>();
    double end = arc.endAngle;
    if (end < arc.startAngle) end += kFullTurn;
    genDrawArc(drawing_, centre, arc.startAngle, end, radius, matrices_.data(), true, nullptr, nullptr, pattern);
}

// SHAPE: the shape of its number (or name) in its style's shape file, placed, turned, sheared
// and scaled by the entity.
void ListVectoriser::drawShape(const EntityRecord& entity) {
    const ShapeBody& body = entity.bodyAs<ShapeBody>();
    std::vector<Matrix4> matrices;
    if (!dbTryResize(matrices, matrices_.size())) {
        fail(kErrorShapeMatrices);
        return;
    }
    Handle styleHandle = body.style;
    uint16_t number = uint16_t(body.shapeNumber);
    if (number == 0 && !body.name.empty()) {
        uint8_t found = 0;
        if (!genShapeNumberByName(drawing_, body.name, styleHandle, found)) return;
        number = found;
    }
    if (styleHandle.isNull() || !dbGetStyleByHandle(drawing_, styleHandle, *style_)) return;
    ShapeFont* font = FontResolver(drawing_, style_->fontFile, kAcceptPrimaryFont, nullptr, {}, -1);
    if (!font || (font->kind & kFontKindTrueType)) return;

    Matrix4 placed = transform_;
    if (entity.header.flags & kEntityHasExtrusion) genMatrixMultiply(context_.entity.objectMatrix, placed, placed);
    genMatrixTranslate(body.insertion, placed);
    if (body.rotation != 0.0) genMatrixRotateZ(body.rotation, placed);
    if (body.obliqueAngle != 0.0) {
        double oblique = body.obliqueAngle;
        if (oblique > std::numbers::pi / 2.0) oblique -= kFullTurn;
        Matrix4 shear = kIdentityMatrix4;
        shear.at(1, 0) = std::tan(oblique);
        genMatrixMultiply(shear, placed, placed);
    }
    const double width = body.widthFactor != 0.0 ? body.widthFactor : 1.0;
    genMatrixScale(body.size * width, body.size, 1.0, placed);
    for (size_t i = 0; i < matrices.size(); ++i) genMatrixMultiply(placed, context_.viewports[i].worldToDevice, matrices[i]);

    // The shape is drawn in the plane its matrices give it: the linetype drawer must not put
    // it into the object coordinate system a second time.
    const DrawnEntity saved = context_.entity;
    context_.entity.flags &= uint8_t(~kEntityHasExtrusion);
    context_.entity.objectMatrix = kIdentityMatrix4;
    GlyphTarget target{matrices.data()};
    ShapeTextState state;
    state.mainFont = font;
    state.hostWord = &target;
    {
        GlyphDrawingScope scope(drawing_, std::fabs(body.size));
        if (ShapeFont* shape = genFindShape(drawing_, font, nullptr, number, 0))
            ShapeInterpreter(drawing_, number, *shape, state, 0, nullptr, nullptr);
    }
    context_.entity = saved;
}

// SOLID and TRACE: filled with FILLMODE on, else their outline. A SOLID whose fourth corner is
// its first is a triangle.
void ListVectoriser::drawCorners(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const std::array<Point3, 4>& c = entity.bodyAs<SolidBody>().corners;
    const bool triangle = entity.header.type == kEntitySolid && c[3] == c[0];
    if (drawing_->header->fillmode != 0) {
        if (triangle)
            genFillQuad(drawing_, c[0], c[1], c[3], c[2], matrices_.data());
        else
            genFillQuad(drawing_, c[0], c[1], c[2], c[3], matrices_.data());
        return;
    }
    if (triangle) {
        drawStraight(c[0], c[1], linetype);
        drawStraight(c[0], c[2], linetype);
        return;
    }
    for (const auto& [a, b] : {std::pair{0, 1}, std::pair{1, 3}, std::pair{3, 2}, std::pair{2, 0}})
        drawStraight(c[size_t(a)], c[size_t(b)], linetype);
}

// 3DFACE: its visible edges (all of them with SPLFRAME set).
void ListVectoriser::drawFace(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const FaceBody& face = entity.bodyAs<FaceBody>();
    const bool all = drawing_->header->splframe != 0;
    for (size_t i = 0; i < 4; ++i) {
        if (!all && (face.invisibleEdges & (1 << i))) continue;
        drawStraight(face.corners[i], face.corners[(i + 1) % 4], linetype);
    }
}

// TEXT, ATTRIB and ATTDEF: in their style ("Standard" for none), moved to their justified
// place first when the host asks for it.
void ListVectoriser::drawText(const TextFields& fields, const std::string& text) {
    Handle styleHandle = fields.style;
    if (styleHandle.isNull()) dbFindStyleHandle(drawing_, "Standard", styleHandle);
    StyleRecord& style = *style_;
    if (!dbGetStyleByHandle(drawing_, styleHandle, style)) return;
    TextFields placed = fields;
    placed.text = text;
    if (gOutputHookTable->alignTextFlag && (fields.horizontalAlign != 0 || fields.verticalAlign != 0)) {
        TextParameters params;
        params.height = fields.height;
        params.rotation = fields.rotation;
        params.widthFactor = fields.widthFactor;
        params.obliqueAngle = fields.obliqueAngle;
        params.generation = fields.generation;
        params.horizontalAlign = fields.horizontalAlign;
        params.verticalAlign = fields.verticalAlign;
        params.alignment = fields.alignment;
        Point2 insertion{fields.insertion.x, fields.insertion.y};
        if (genTextAlignPoint(drawing_, text.c_str(), insertion, params, style)) {
            placed.insertion.x = insertion.x;
            placed.insertion.y = insertion.y;
            placed.height = params.height;
            placed.widthFactor = params.widthFactor;
        }
    }
    genDrawText(drawing_, placed, style, transform_, context_.threeUnitTolerance);
}

// MTEXT, placed by its insertion point and direction in the list.
// MTEXT; the annotation a leader asked to be framed is framed, once.
void ListVectoriser::drawMText(MtextBody body, const ResolvedEntity& e) {
    double frame = -1.0;
    if (!context_.framedAnnotation.isNull() && context_.framedAnnotation == e.entity->header.handle &&
        !context_.insideTolerance) {
        frame = context_.framedAnnotationMargin;
        context_.framedAnnotation = Handle();
    }
    genDrawMText(drawing_, body, transform_, int16_t(e.colour), e.layer->colour, int16_t(colour_), 1, frame);
}

// RTEXT whose contents come from a file: the file (found through output hook slot 9 when
// set) is read and drawn as an MTEXT of the RTEXT's place, height and style.
void ListVectoriser::drawRtext(const RtextBody& body, const ResolvedEntity& e) {
    std::string path = body.contents;
    if (gOutputHookTable->imageFileFinder) {
        std::string found;
        if (gOutputHookTable->imageFileFinder(path.c_str(), found, drawing_->hostContext) && !found.empty())
            path = found;
    }
    PagedStream* stream = genReadFileToStream(path.c_str());
    MtextBody mtext;
    mtext.insertion = body.insertion;
    mtext.xDirection = {std::cos(body.rotation), std::sin(body.rotation), 0.0};
    mtext.textHeight = body.height;
    mtext.attachment = 1;
    mtext.drawingDirection = 1;
    mtext.style = body.style;
    if (stream) {
        if (OpenStream* in = dbStreamOpenRead(stream)) {
            mtext.text.resize(size_t(dbStreamSizeOf(stream)));
            if (!dbStreamGetBytes(in, mtext.text.data(), mtext.text.size())) mtext.text.clear();
            dbStreamCloseRead(in);
        }
        dbStreamDestroy(stream);
    }
    drawMText(std::move(mtext), e);
}

// VIEWPORT: the sheet's own viewport (the first one of the layout's list) is not drawn; every
// other widens the collected extents by its corners and draws its border unless its flags
// hide it.
void ListVectoriser::drawViewport(const EntityRecord& entity) {
    if (depth_ == 0 && !context_.firstViewportSeen) {
        context_.firstViewportSeen = 1;
        return;
    }
    const ViewportBody& body = entity.bodyAs<ViewportBody>();
    const Point3& c = body.centre;
    const double x0 = c.x - body.width / 2.0, x1 = c.x + body.width / 2.0;
    const double y0 = c.y - body.height / 2.0, y1 = c.y + body.height / 2.0;
    if (DisplayContext* outer = genPassContext(drawing_); outer && !outer->extentsFlag) {
        for (const Point3& corner : {Point3{x0, y0, c.z}, Point3{x1, y1, c.z}}) {
            Point4 device;
            genPointTransform({corner.x, corner.y, corner.z, 1.0}, matrices_[0], device);
            genWidenExtents(*outer, {device.x, device.y});
        }
    }
    if (!(body.statusFlags & kViewportBorderOff))
        genDrawViewportBorder(drawing_, x0, y0, x1, y1, c.z, matrices_.data(), &context_.currentLinetype);
}

} // namespace tracemill
