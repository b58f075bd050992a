#include "toolkit/read/dwg13_entity_walk.h"

#include "toolkit/core/entity_types.h"

namespace tracemill {

void Dwg13EntityWalk::startSpaces(Handle paperFirst, Handle paperLast, Handle modelFirst, Handle modelLast) {
    *this = Dwg13EntityWalk();
    next_ = paperFirst;
    chainLast_ = paperLast;
    alternateStart_ = modelFirst;
    alternateLast_ = modelLast;
}

void Dwg13EntityWalk::startBlock(Handle blockEntity, Handle firstEntity, Handle lastEntity, Handle endBlockEntity) {
    *this = Dwg13EntityWalk();
    bounded_ = true;
    alternateTaken_ = true;
    next_ = blockEntity;
    blockFirst_ = firstEntity;
    boundLast_ = lastEntity;
    followOn_ = endBlockEntity;
}

Handle Dwg13EntityWalk::next() {
    for (;;) {
        if (!next_.isNull() && !visited_.contains(next_.value)) return next_;
        // The chain has ended, or it loops back to an entity already read.
        if (bounded_) {
            if (!followOn_.isNull() && !visited_.contains(followOn_.value) && next_ != followOn_) {
                next_ = followOn_;
                continue;
            }
            next_ = Handle();
            return next_;
        }
        if (alternateTaken_) {
            next_ = Handle();
            return next_;
        }
        alternateTaken_ = true;
        next_ = alternateStart_;
        chainLast_ = alternateLast_;
        resume_ = lastChild_ = sequenceEnd_ = Handle();
        pending_ = 0;
        inSequence_ = false;
    }
}

void Dwg13EntityWalk::advance(Handle own, uint16_t kind, const Dwg13EntityLinks& links) {
    visited_.insert(own.value);
    Handle next = links.next;
    const bool sequence = kind == kEntityPolyline || (kind == kEntityInsert && links.hasChildren);
    const bool lastOfBlock = bounded_ && own == boundLast_;
    if (kind == kEntityInsert || kind == kEntityPolyline) {
        resume_ = links.next;
        if (lastOfBlock) resume_ = next = followOn_;
        if (sequence) {
            lastChild_ = links.lastChild;
            sequenceEnd_ = links.sequenceEnd;
            inSequence_ = true;
            if (!links.firstChild.isNull())
                next = links.firstChild;
            else if (!links.sequenceEnd.isNull())
                next = links.sequenceEnd;
            else
                inSequence_ = false;
        }
    } else if (kind == kEntitySequenceEnd) {
        next = resume_;
        if (pending_ == 1) next = followOn_;
        if (pending_ == 2) next = Handle();
        pending_ = 0;
        inSequence_ = false;
    } else if (kind == kEntityBlock) {
        next = blockFirst_.isNull() ? followOn_ : blockFirst_;
    } else if ((kind == kEntityAttribute || kind == kEntityVertex) && own == lastChild_) {
        next = sequenceEnd_;
    }
    if (!bounded_ && own == chainLast_) {
        if (sequence && inSequence_)
            pending_ = 2;
        else
            next = Handle();
    } else if (lastOfBlock) {
        if (sequence && inSequence_)
            pending_ = 1;
        else
            next = followOn_;
    }
    next_ = next;
}

void Dwg13EntityWalk::chainBroken() {
    // Inside a sequence the walk goes on with its SEQEND, so only the unread sub-entities are
    // lost; elsewhere the chain ends (a block's then goes on with its ENDBLK).
    if (inSequence_ && !sequenceEnd_.isNull() && !visited_.contains(sequenceEnd_.value) && next_ != sequenceEnd_) {
        next_ = sequenceEnd_;
        return;
    }
    visited_.insert(next_.value);
    next_ = Handle();
}

} // namespace tracemill
