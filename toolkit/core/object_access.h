// Non-graphical objects of a drawing: the defaults of a new object, and adding, reading and
// finding objects in the drawing's object list. Objects are copied in and out.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/core/object_record.h"

namespace tracemill {

// Header := the cleared header with the type kept; the body becomes the kind's body (a
// DICTIONARY, MLINESTYLE, GROUP, one of the known object classes, or a proxy object).
int dbInitObject(Drawing* drawing, ObjectRecord& object);
ObjectBody dbDefaultObjectBody(const Drawing& drawing, uint16_t type);

// Appends the object to the object list and indexes its handle; an object of a known class
// marks its class used. Errors: 231 a null handle, 172/173 the handle cannot be indexed.
int dbAddObject(Drawing* drawing, ObjectRecord object);

int dbObjectRewind(Drawing* drawing);
int32_t dbObjectCount(Drawing* drawing);
// Copies the object under the cursor out and moves the cursor on; 0 at the end.
int dbObjectRead(Drawing* drawing, ObjectRecord& out);
// Reads the object of a handle (the cursor is left behind it); 0 when no object has it.
int dbObjectGet(Drawing* drawing, Handle handle, ObjectRecord& out);
// The stored object of a handle, or null.
ObjectRecord* dbFindStoredObject(Drawing* drawing, Handle handle);
// The named object dictionary: the first object of the list when it is a DICTIONARY, else null.
ObjectRecord* dbNamedObjectDictionary(Drawing& drawing);

// Writes the object over the stored one with the same handle; 168 when there is none, 205 when
// the stored one is of another kind.
int dbUpdateObject(Drawing* drawing, const ObjectRecord& object);

// Releases the streams and lists the object owns (its extended data, reactors and the streams
// and lists of its body: dictionary entries, group members, multiline style elements, ...); its
// kind, handle and other fields are kept.
int dbFreeObjectData(Drawing* drawing, ObjectRecord& object);

// Removes the object with that handle from the list and the handle index; 168 when the handle
// is not an object's.
int dbDeleteObject(Drawing* drawing, Handle handle);

// Error numbers of the object changes.
inline constexpr int kErrorObjectNotFound = 168;
inline constexpr int kErrorObjectNotUnlinked = 170;
inline constexpr int kErrorObjectKindChanged = 205;

// Clears the not-in-use bit (15) of the proxy flags of the class with that number, when it is
// one of the kinds the toolkit knows.
void dbMarkClassUsed(ClassList& classes, uint16_t classNumber);

} // namespace tracemill
