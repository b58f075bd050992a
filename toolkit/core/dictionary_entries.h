// Walking the entries of a dictionary of the named object dictionary (ACAD_PLOTSTYLENAME,
// ACAD_GROUP ...) with a small iterator that the caller keeps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/object_record.h"

namespace tracemill {

// The entries of a DICTIONARY or ACDBDICTIONARYWDFLT object, null for any other object.
const std::vector<DictionaryEntry>* dbDictionaryEntriesOf(const ObjectRecord& object);

// The caller's iterator: set `drawing`, then open it. It walks a copy of the entries, so
// changes to the drawing while it is open do not disturb it.
struct DictionaryIterator {
    Drawing* drawing = nullptr;
    int32_t count = 0;
    std::vector<DictionaryEntry> entries;
    size_t current = 0;
};

// Opens the dictionary that the named object dictionary (the first object of the drawing,
// which must be a DICTIONARY) names by `name` (exact comparison); the first entry becomes the
// current one. The entry count: 0 when the named object dictionary, the entry or its
// dictionary is missing, or the dictionary is empty.
int32_t dbOpenDictionaryEntries(std::string_view name, DictionaryIterator& iterator);
// The current entry's name and handle (empty and the zero handle past the last entry).
std::string_view dbDictionaryEntryName(const DictionaryIterator& iterator);
Handle dbDictionaryEntryHandle(const DictionaryIterator& iterator);
// Makes the next entry current: 1, or 0 when there is none.
int dbNextDictionaryEntry(DictionaryIterator& iterator);
void dbCloseDictionaryEntries(DictionaryIterator& iterator);

} // namespace tracemill
