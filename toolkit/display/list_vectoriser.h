// The state of one call of the entity vectoriser (entity_vectoriser.h): the list being walked,
// what it inherits, its per-viewport matrices and the entity being drawn. Its work is spread
// over the files of its concerns: the walk and the resolution of each entity's properties
// (entity_vectoriser.cpp), the dispatch by kind (entity_dispatch.cpp), polylines
// (polyline_dispatch.cpp) and block and external references (block_reference.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/entity_pass_values.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/reference_chain.h"

namespace tracemill {

struct Drawing;
struct DisplayContext;
struct BlockRecord;

// What the vectoriser resolved for the entity being drawn.
struct ResolvedEntity {
    const EntityRecord* entity = nullptr;
    Handle layerHandle;  // after the substitutions of layer "0" in blocks and attributes
    const LayerRecord* layer = nullptr;
    const LinetypeRecord* linetype = nullptr;  // with dashes, or the context's default linetype
    int32_t colour = 7;                        // before the colour map; negative on a layer that is off
    int32_t lineweight = 0;                    // 1/100 mm
    const PlotStyle* plotStyle = nullptr;
};

class ListVectoriser {
public:
    ListVectoriser(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                   const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight, int16_t depth,
                   int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain);

    // Walks the list (in the table's order when given): 1, or 0 when a work record cannot be
    // made.
    int run(const DrawOrderTable* sortTable);

private:
    // Set-up and end of the list.
    bool setUp();
    void tearDown();
    void computeMatrices();

    // The walk: one entity, 0 when the list ends.
    bool drawNext();
    const EntityRecord* fetch();
    void reportProgress();
    bool skipSpace(const EntityRecord& entity);
    const LayerRecord& layerOf(Handle handle);
    const LinetypeRecord* linetypeIn(Drawing* drawing, Handle handle);
    const LinetypeRecord* resolveLinetype(const EntityRecord& entity, const LayerRecord& layer);
    void resolveProperties(ResolvedEntity& e);
    void announce(const ResolvedEntity& e);
    void takeEntity(const EntityRecord& entity);

    // A work buffer of the list: true when it can be had, else error `error` (error callback
    // 2) and the list ends with result 0.
    bool workBuffer(int error);
    bool fail(int error);

    // The dispatch by kind (entity_dispatch.cpp).
    void dispatch(const ResolvedEntity& e);
    void drawLine(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawStraight(const Point3& a, const Point3& b, const LinetypeRecord* linetype);
    void drawPoint(const ResolvedEntity& e);
    void drawCurve(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawShape(const EntityRecord& entity);
    void drawCorners(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawFace(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawText(const TextFields& fields, const std::string& text);
    void drawMText(MtextBody body, const ResolvedEntity& e);
    void drawRtext(const RtextBody& body, const ResolvedEntity& e);
    void drawViewport(const EntityRecord& entity);
    void drawClassEntity(const ResolvedEntity& e);
    // What the drawers of leaders, multilines, tolerance frames and proxy graphics take.
    EntityPassValues passValues(const ResolvedEntity& e);
    bool plainLinetype(const LinetypeRecord* linetype) const;

    // Polylines (polyline_dispatch.cpp).
    void drawPolyline(const ResolvedEntity& e, bool layerOff);
    void drawLwpolyline(const EntityRecord& entity, const LinetypeRecord* linetype);
    bool readPolylineVertices(int16_t flags, double elevation, double startWidth, double endWidth, bool frame);
    void drawPolylineMesh(const PolylineBody& body, const LinetypeRecord* linetype, int16_t faceColour);
    void skipSequence();

    // Block and external references (block_reference.cpp).
    void drawBlockReference(const ResolvedEntity& e);
    void drawBlockBegin(const EntityRecord& entity);
    void queueExternalReference(const BlockRecord& block, const Matrix4& transform, const ResolvedEntity& e,
                                uint64_t hiddenMask);

    Drawing* drawing_;
    DisplayContext& context_;
    EntityList* list_;
    Matrix4 transform_;
    uint16_t colour_;
    const LinetypeRecord* linetype_;
    const PlotStyle* plotStyle_;
    int16_t lineweight_;
    int16_t depth_;
    int16_t xrefDepth_;
    uint64_t hiddenMask_;
    const ReferenceChain& chain_;

    // Work records of the list.
    std::unique_ptr<LinetypeRecord> inheritedLinetype_;  // the list's copy of what BYBLOCK takes
    std::unique_ptr<StyleRecord> style_;                 // the text style being drawn with
    std::vector<Matrix4> matrices_;
    std::vector<double> savedScales_;
    double savedLtscale_ = 1.0;
    bool failed_ = false;
    bool ended_ = false;  // an ENDBLK was read, or a BLOCK turned into one

    EntityRecord scratch_;  // the entity fetched through the host's entity hook
    // Attributes behind an INSERT take its hidden mask, its layer for layer "0" and, in BYBLOCK,
    // its colour.
    bool inAttributes_ = false;
    uint64_t attributeMask_ = 0;
    int32_t attributeColour_ = 7;
    Handle ownerLayer_;
};

} // namespace tracemill
