// Entities of a drawing: new handles, the defaults of a new entity, and adding, reading,
// finding, replacing and deleting entities in an entity list, with the handle index, the
// INSERT references of blocks and the viewport index kept in step.
//
// Entities are copied in and out: a caller owns the EntityRecord it passes or receives. The
// display and the writers may instead walk a list's stored records in place (the list's
// iterators, or dbReadStoredEntity through the cursor); those are valid until the entity is
// replaced or deleted.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"

namespace tracemill {

// Error numbers.
inline constexpr int kErrorBlockNotFound = 73;
inline constexpr int kErrorNoEntityList = 151;
inline constexpr int kErrorEntityNotFound = 152;
inline constexpr int kErrorEntityNotFoundForUpdate = 226;
inline constexpr int kErrorInsertBlockMissing = 232;
inline constexpr int kErrorHandleNotIndexed = 303;
inline constexpr int kErrorHandleOfOtherTable = 304;

// Copies the seed out and increments it.
int dbNewHandle(Drawing* drawing, Handle& out);
Handle dbNewHandle(Drawing& drawing);
// Seed and the header's HANDSEED := the handle.
void dbSetHandleSeed(Drawing* drawing, Handle handle);
// Seed and HANDSEED := the context's initial seed (handle 1); HANDLING := 1.
void dbSetHandleSeedFromContext(Drawing* drawing);

// Header := the template with the type kept, layer := the first LAYER record, linetype := the
// drawing's BYLAYER linetype. The body (when given) becomes the kind's body with its defaults:
// the record form uses the header's type.
int dbInitEntity(Drawing* drawing, EntityHeader& header, EntityBody* body);
int dbInitEntity(Drawing* drawing, EntityRecord& entity);

// The body a new entity of that type gets (std::monostate for types without a body).
EntityBody dbDefaultEntityBody(const Drawing& drawing, uint16_t type);

// Adds the entity after the entity with the handle `after` (null or the zero handle: at the
// front; `after` the last entity: at the end), or at the end of the list. The entity's handle
// is indexed; an INSERT is recorded in its block's references; a VIEWPORT added to paper space
// gets its viewport-index entry; the first entity of a class-based kind marks its class used.
// Errors: 151 no list; 152 `after` is not in the list; 231 a null handle; 172 the handle is
// already indexed (kept in the context's errorHandle); 173 it cannot be indexed; 232 an INSERT
// whose block is missing. Nothing is changed on a failure.
int dbAddEntity(Drawing* drawing, EntityList* list, EntityRecord entity, const Handle* after);
int dbAppendEntity(Drawing* drawing, EntityList* list, EntityRecord entity);

// Copies the entity under the cursor out and moves the cursor on; 0 at the end.
int dbReadEntity(EntityList* list, EntityRecord& out);
// The stored entity under the cursor, the cursor moved on; null at the end.
const EntityRecord* dbReadStoredEntity(EntityList* list);
// Cursor to the first entity; 0 for a null list.
int dbRewindEntityList(EntityList* list);

// Finds the entity through the handle index, leaves the cursor on it and reads it (cursor
// then behind it). Errors 303 (no such handle), 304 (the handle is not an entity of this list).
int dbReadEntityByHandle(Drawing* drawing, EntityList* list, Handle handle, EntityRecord& out);
// The stored entity of a handle in this list, or null (the cursor is not moved).
EntityNode* dbFindEntityNode(Drawing* drawing, EntityList* list, Handle handle);

// Replaces the entity of `handle` by `entity` at its place. Errors: 226 no entity of that
// handle in the list; 172/173 the new handle cannot be indexed; 232 an INSERT whose block is
// missing. Nothing is changed on a failure.
int dbUpdateEntity(Drawing* drawing, EntityList* list, Handle handle, EntityRecord entity);

// Deletes the entity of `handle` with everything it owns. Errors: 151 no list, 152 no entity of
// that handle in the list.
int dbDeleteEntity(Drawing* drawing, EntityList* list, Handle handle);
// Deletes a stored entity of the list; 0 when the node is not in the list.
int dbRemoveEntityNode(Drawing* drawing, EntityList* list, EntityNode* node);

// Releases what the entity owns (extended data, reactors, the streams and lists of its body);
// its other fields are kept. An IMAGE's picture, which the host supplied, is first handed to
// the context's entity-data release hook with the drawing's host word. 1, 0 for a null drawing.
int dbFreeEntityData(Drawing* drawing, EntityRecord& entity);

// Hands the host-supplied data block of an entity (an IMAGE's picture) to the release hook,
// when there is one; the caller frees the block afterwards. Every stored entity that is freed
// (deleted, replaced, released with its list, its block or its drawing) goes through here.
void dbReleaseEntityHostData(const Drawing& drawing, const EntityRecord& entity);
// The same for every entity of a list.
void dbReleaseEntityHostData(const Drawing& drawing, const EntityList& list);

// The entity list of a block record, null with error 73 when no block has the handle.
EntityList* dbGetBlockEntityList(Drawing* drawing, Handle block);
// The number of entities of a block, 0 when no block has the handle.
int32_t dbCountBlockEntities(Drawing* drawing, Handle block);

} // namespace tracemill
