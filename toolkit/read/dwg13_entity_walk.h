// The walk over the entities of an R13 to 2000 DWG file. Entities are chained through their
// next-entity handles: paper space and model space each from the first entity its block record
// names to the last, a block from its BLOCK entity through its entities to its ENDBLK, and the
// VERTEX or ATTRIB entities of a POLYLINE or INSERT from the first to the last and then its
// SEQEND. The walk decides which entity comes next; it never visits an entity twice, so a
// damaged chain that loops back ends instead of hanging the load.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "toolkit/core/handle.h"
#include "toolkit/read/dwg13_entity_reader.h"

namespace tracemill {

class Dwg13EntityWalk {
  public:
    // The two spaces: first paper space (its entities are flagged so), then model space.
    void startSpaces(Handle paperFirst, Handle paperLast, Handle modelFirst, Handle modelLast);
    // One block: from its BLOCK entity through its first to its last entity, then its ENDBLK.
    void startBlock(Handle blockEntity, Handle firstEntity, Handle lastEntity, Handle endBlockEntity);

    // The entity to read next; the zero handle when the walk is over. Moves on to the model-space
    // chain when the paper-space chain has ended.
    Handle next();
    // True while the chain of paper space is walked.
    bool inPaperSpace() const { return !bounded_ && !alternateTaken_; }

    // After reading the entity `next()` gave: works out the entity after it.
    void advance(Handle own, uint16_t kind, const Dwg13EntityLinks& links);
    // The entity `next()` gave could not be read: its chain ends here (a block goes on with its
    // ENDBLK).
    void chainBroken();

  private:
    Handle next_;
    bool bounded_ = false;
    Handle alternateStart_;
    bool alternateTaken_ = false;
    Handle chainLast_;     // last entity of the space chain being walked
    Handle alternateLast_; // last entity of the model-space chain
    Handle boundLast_;     // a block's last entity
    Handle followOn_;      // a block's ENDBLK
    Handle blockFirst_;    // a block's first entity, read after its BLOCK
    Handle resume_;        // where the walk goes on after a sub-entity sequence
    int pending_ = 0;      // 1: go on with the follow-on after the sequence, 2: end the chain
    Handle lastChild_;
    Handle sequenceEnd_;
    bool inSequence_ = false; // between a POLYLINE or INSERT and its SEQEND
    std::unordered_set<uint64_t> visited_;
};

} // namespace tracemill
