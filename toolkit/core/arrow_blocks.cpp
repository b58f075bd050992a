#include "toolkit/core/arrow_blocks.h"

#include <initializer_list>
#include <string>

#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

// Appends the entities of one arrowhead block to the block's entity list. Once an entity
// cannot be added the builder stops adding and reports the failure at the end.
class ArrowBlockBuilder {
public:
    ArrowBlockBuilder(Drawing& drawing, EntityList& list) : drawing_(drawing), list_(list) {}

    bool ok() const { return ok_; }

    // The header of every arrowhead entity: colour, linetype and lineweight BYBLOCK, model space.
    EntityRecord dbArrowEntityHeader(uint16_t type) {
        EntityRecord entity;
        entity.header.type = type;
        dbInitEntity(&drawing_, entity);
        entity.header.handle = dbNewHandle(drawing_);
        entity.header.colour = kColourByBlock;
        entity.header.linetype = drawing_.handles.byBlockLinetype;
        entity.header.lineweight = kLineweightByBlock;
        entity.header.flags &= uint8_t(~kEntityInPaperSpace);
        return entity;
    }

    Handle dbArrowAddBlockEntity(std::string_view name) {
        EntityRecord entity = dbArrowEntityHeader(kEntityBlock);
        entity.bodyAs<BlockBeginBody>().name = std::string(name);
        return add(std::move(entity));
    }

    Handle dbArrowEndBlock() { return add(dbArrowEntityHeader(kEntityEndBlock)); }

    void dbArrowAddLine(Point2 from, Point2 to) {
        EntityRecord entity = dbArrowEntityHeader(kEntityLine);
        entity.bodyAs<LineBody>() = {{from.x, from.y, 0.0}, {to.x, to.y, 0.0}};
        add(std::move(entity));
    }

    void dbArrowAddCircle(Point2 centre, double radius) {
        EntityRecord entity = dbArrowEntityHeader(kEntityCircle);
        entity.bodyAs<CircleBody>() = {{centre.x, centre.y, 0.0}, radius};
        add(std::move(entity));
    }

    void dbArrowAddArc(Point2 centre, double radius, double startAngle, double endAngle) {
        EntityRecord entity = dbArrowEntityHeader(kEntityArc);
        entity.bodyAs<ArcBody>() = {{centre.x, centre.y, 0.0}, radius, startAngle, endAngle};
        add(std::move(entity));
    }

    // A SOLID's corners in its own order: the third and fourth corner close the quadrilateral
    // crosswise; a triangle repeats its third corner.
    void dbArrowAddSolid(Point2 a, Point2 b, Point2 c, Point2 d) {
        EntityRecord entity = dbArrowEntityHeader(kEntitySolid);
        entity.bodyAs<SolidBody>().corners = {Point3{a.x, a.y, 0.0}, Point3{b.x, b.y, 0.0}, Point3{c.x, c.y, 0.0},
                                              Point3{d.x, d.y, 0.0}};
        add(std::move(entity));
    }

    // A 2D POLYLINE of one width with its VERTEX entities and SEQEND.
    struct Vertex {
        Point2 point;
        double bulge = 0.0;
    };
    void dbArrowAddPolyline(bool closed, double width, std::initializer_list<Vertex> vertices) {
        EntityRecord polyline = dbArrowEntityHeader(kEntityPolyline);
        PolylineBody& body = polyline.bodyAs<PolylineBody>();
        body.flags = closed ? 1 : 0;
        body.defaultStartWidth = width;
        body.defaultEndWidth = width;
        add(std::move(polyline));
        for (const Vertex& vertex : vertices) dbArrowAddVertex(vertex);
        dbArrowAddSeqEnd();
    }

private:
    void dbArrowAddVertex(const Vertex& vertex) {
        EntityRecord entity = dbArrowEntityHeader(kEntityVertex);
        VertexBody& body = entity.bodyAs<VertexBody>();
        body.point = {vertex.point.x, vertex.point.y, 0.0};
        body.bulge = vertex.bulge;
        add(std::move(entity));
    }

    void dbArrowAddSeqEnd() { add(dbArrowEntityHeader(kEntitySequenceEnd)); }

    Handle add(EntityRecord entity) {
        if (!ok_) return Handle();
        const Handle handle = entity.header.handle;
        ok_ = dbAppendEntity(&drawing_, &list_, std::move(entity)) == 1;
        return ok_ ? handle : Handle();
    }

    Drawing& drawing_;
    EntityList& list_;
    bool ok_ = true;
};

using Builder = ArrowBlockBuilder;

// 1 / 6 and tan(15 degrees): the half widths of the closed and open arrows and of the 30-degree
// open arrow at unit length; 1 / sqrt(3) the half height of the datum triangle.
constexpr double kArrowHalfWidth = 0.166667;
constexpr double kOpen30HalfWidth = 0.267949;
constexpr double kDatumHalfHeight = 0.57735;
constexpr double kIntegralRadius = 0.454167;

void closedSides(Builder& b) {
    b.dbArrowAddLine({0, 0}, {-1, kArrowHalfWidth});
    b.dbArrowAddLine({0, 0}, {-1, -kArrowHalfWidth});
    b.dbArrowAddLine({-1, kArrowHalfWidth}, {-1, -kArrowHalfWidth});
}

void dot(Builder& b, double halfLength) {
    // A closed polyline of two half circles whose width equals twice their radius is a disc.
    b.dbArrowAddPolyline(true, 2 * halfLength, {{{-halfLength, 0}, 1.0}, {{halfLength, 0}, 1.0}});
}

using ShapeBuilder = void (*)(Builder&);

// The shapes in the order of kStandardArrowheadNames.
constexpr std::array<ShapeBuilder, kStandardArrowheadCount> kShapes = {
    [](Builder&) {},  // _NONE
    [](Builder& b) {  // _CLOSED
        closedSides(b);
        b.dbArrowAddLine({0, 0}, {-1, 0});
    },
    [](Builder& b) { dot(b, 0.25); },  // _DOT
    closedSides,                       // _CLOSEDBLANK
    [](Builder& b) { b.dbArrowAddLine({-0.5, -0.5}, {0.5, 0.5}); },  // _OBLIQUE
    [](Builder& b) { b.dbArrowAddPolyline(false, 0.15, {{{-0.5, -0.5}}, {{0.5, 0.5}}}); },  // _ARCHTICK
    [](Builder& b) {  // _OPEN
        b.dbArrowAddLine({0, 0}, {-1, kArrowHalfWidth});
        b.dbArrowAddLine({0, 0}, {-1, -kArrowHalfWidth});
        b.dbArrowAddLine({0, 0}, {-1, 0});
    },
    [](Builder& b) { b.dbArrowAddCircle({0, 0}, 0.5); },  // _ORIGIN
    [](Builder& b) {  // _OPEN90
        b.dbArrowAddLine({0, 0}, {-0.5, 0.5});
        b.dbArrowAddLine({0, 0}, {-0.5, -0.5});
    },
    [](Builder& b) {  // _OPEN30
        b.dbArrowAddLine({0, 0}, {-1, kOpen30HalfWidth});
        b.dbArrowAddLine({0, 0}, {-1, -kOpen30HalfWidth});
    },
    [](Builder& b) {  // _DOTBLANK
        b.dbArrowAddCircle({0, 0}, 0.5);
        b.dbArrowAddLine({-0.5, 0}, {-1, 0});
    },
    [](Builder& b) { dot(b, 0.0625); },  // _DOTSMALL
    [](Builder& b) {                     // _BOXFILLED
        b.dbArrowAddSolid({-0.5, -0.5}, {0.5, -0.5}, {-0.5, 0.5}, {0.5, 0.5});
        b.dbArrowAddLine({-0.5, 0}, {-1, 0});
    },
    [](Builder& b) {  // _BOXBLANK
        b.dbArrowAddLine({-0.5, -0.5}, {0.5, -0.5});
        b.dbArrowAddLine({0.5, -0.5}, {0.5, 0.5});
        b.dbArrowAddLine({0.5, 0.5}, {-0.5, 0.5});
        b.dbArrowAddLine({-0.5, 0.5}, {-0.5, -0.5});
    },
    [](Builder& b) {  // _DATUMFILLED
        b.dbArrowAddSolid({0, kDatumHalfHeight}, {0, -kDatumHalfHeight}, {-1, 0}, {-1, 0});
    },
    [](Builder& b) {  // _DATUMBLANK
        b.dbArrowAddLine({0, kDatumHalfHeight}, {0, -kDatumHalfHeight});
        b.dbArrowAddLine({0, -kDatumHalfHeight}, {-1, 0});
        b.dbArrowAddLine({-1, 0}, {0, kDatumHalfHeight});
    },
    [](Builder& b) {  // _INTEGRAL
        b.dbArrowAddArc({0.444888, -0.091335}, kIntegralRadius, 1.780235837034216, 2.9321531433504737);
        b.dbArrowAddArc({-0.444888, 0.091335}, kIntegralRadius, 4.921828490624009, 6.073745796940266);
    },
};

// A new block record of that name with its own empty entity list; the zero handle on failure.
Handle dbArrowNewBlock(Drawing& drawing, std::string_view name) {
    BlockRecord record;
    record.owner = drawing.handles.blockControl;
    record.name = std::string(name);
    record.handle = dbNewHandle(drawing);
    return dbBlockAdd(&drawing, record) ? record.handle : Handle();
}

} // namespace

int dbStandardArrowheadIndex(std::string_view name) {
    if (!name.empty() && name.front() == '_') name.remove_prefix(1);
    for (int i = 0; i < kStandardArrowheadCount; ++i) {
        if (dbEqualsNoCase(kStandardArrowheadNames[size_t(i)].substr(1), name)) return i;
    }
    return -1;
}

int dbCreateArrowBlock(Drawing* drawing, Handle& block, std::string_view name) {
    block = Handle();
    if (!drawing) return 0;
    const int shape = dbStandardArrowheadIndex(name);
    if (shape < 0) return 0;
    const Handle handle = dbArrowNewBlock(*drawing, name);
    if (handle.isNull()) return 0;
    BlockNode* node = dbLookupBlock(*drawing, handle);
    Builder builder(*drawing, *node->entityList);
    node->record.blockEntity = builder.dbArrowAddBlockEntity(name);
    kShapes[size_t(shape)](builder);
    node->record.endBlockEntity = builder.dbArrowEndBlock();
    if (!builder.ok()) {
        const int error = dbGetError();
        dbBlockDelete(drawing, handle);
        return dbSetError(error);
    }
    block = handle;
    return 1;
}

} // namespace tracemill
