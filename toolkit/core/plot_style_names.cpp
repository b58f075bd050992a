#include "toolkit/core/plot_style_names.h"

#include "toolkit/core/dictionary_entries.h"

namespace tracemill {

Handle dbDefaultLayerPlotStyle(Drawing* drawing) {
    DictionaryIterator entries;
    entries.drawing = drawing;
    Handle normal;
    if (dbOpenDictionaryEntries("ACAD_PLOTSTYLENAME", entries) > 0) {
        do {
            if (dbDictionaryEntryName(entries) == "Normal") {
                normal = dbDictionaryEntryHandle(entries);
                break;
            }
        } while (dbNextDictionaryEntry(entries));
    }
    dbCloseDictionaryEntries(entries);
    return normal;
}

} // namespace tracemill
