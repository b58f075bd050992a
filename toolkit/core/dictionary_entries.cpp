#include "toolkit/core/dictionary_entries.h"

#include "toolkit/core/object_access.h"

namespace tracemill {

const std::vector<DictionaryEntry>* dbDictionaryEntriesOf(const ObjectRecord& object) {
    if (const auto* dictionary = object.body.getIf<DictionaryBody>()) return &dictionary->entries;
    if (const auto* withDefault = object.body.getIf<DictionaryWithDefaultBody>()) return &withDefault->entries;
    return nullptr;
}

int32_t dbOpenDictionaryEntries(std::string_view name, DictionaryIterator& iterator) {
    Drawing* drawing = iterator.drawing;
    iterator = DictionaryIterator{};
    iterator.drawing = drawing;
    const ObjectRecord* root = drawing ? dbNamedObjectDictionary(*drawing) : nullptr;
    const auto* rootBody = root ? root->body.getIf<DictionaryBody>() : nullptr;
    if (!rootBody) return 0;
    for (const DictionaryEntry& entry : rootBody->entries) {
        if (entry.name != name) continue;
        const ObjectRecord* dictionary = dbFindStoredObject(drawing, entry.handle);
        const std::vector<DictionaryEntry>* entries = dictionary ? dbDictionaryEntriesOf(*dictionary) : nullptr;
        if (!entries) return 0;
        iterator.entries = *entries;
        iterator.count = int32_t(entries->size());
        return iterator.count;
    }
    return 0;
}

std::string_view dbDictionaryEntryName(const DictionaryIterator& iterator) {
    return iterator.current < iterator.entries.size() ? std::string_view(iterator.entries[iterator.current].name)
                                                      : std::string_view();
}

Handle dbDictionaryEntryHandle(const DictionaryIterator& iterator) {
    return iterator.current < iterator.entries.size() ? iterator.entries[iterator.current].handle : Handle();
}

int dbNextDictionaryEntry(DictionaryIterator& iterator) {
    if (iterator.current + 1 >= iterator.entries.size()) {
        iterator.current = iterator.entries.size();
        return 0;
    }
    ++iterator.current;
    return 1;
}

void dbCloseDictionaryEntries(DictionaryIterator& iterator) {
    Drawing* drawing = iterator.drawing;
    iterator = DictionaryIterator{};
    iterator.drawing = drawing;
}

} // namespace tracemill
