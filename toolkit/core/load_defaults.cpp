// What a drawing before "AC1015" lacks against a 2000 drawing (rdFinishLoadDefaults).
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/fixed_records.h"
#include "toolkit/core/load_defaults.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

enum DefaultsHandle : int {
    kPlaceholder = kHandleSetFirstLayout,  // 28
    kLayoutDictionary,                     // 29
    kPlotStyleDictionary,                  // 30
    kModelLayout,                          // 31
    kPaperLayout,                          // 32
    kPlotSettingsDictionary,               // 33
    kWipeoutVariables,                     // 34
};

class DefaultsBuilder {
public:
    DefaultsBuilder(Drawing& drawing, const HandleSet* handleSet) : d_(drawing), set_(handleSet) {}

    int run();

private:
    Handle handleFor(int index) {
        if (set_ && !(*set_)[size_t(index)].isNull()) return (*set_)[size_t(index)];
        return dbNewHandle(d_);
    }
    ObjectRecord newObject(uint16_t type, Handle handle, Handle owner) {
        ObjectRecord object;
        object.header.type = type;
        dbInitObject(&d_, object);
        object.header.handle = handle;
        object.header.owner = owner;
        object.header.reactors = {owner};
        return object;
    }
    ObjectRecord newLayout(std::string_view name, Handle handle, Handle block, int16_t tabOrder, Handle dictionary) {
        ObjectRecord layout = newObject(dbClassLayout(d_.classes), handle, dictionary);
        LayoutBody& body = layout.bodyAs<LayoutBody>();
        body.name = std::string(name);
        body.block = block;
        body.tabOrder = tabOrder;
        if (BlockNode* node = dbLookupBlock(d_, block)) node->record.layout = handle;
        return layout;
    }
    bool add(ObjectRecord object) { return dbAddObject(&d_, std::move(object)) != 0; }

    Drawing& d_;
    const HandleSet* set_;
};

DictionaryEntry* findEntry(std::vector<DictionaryEntry>& entries, std::string_view name) {
    for (DictionaryEntry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// The pairs of short and long symbol names of the "EXTNAMES" section of an xrecord: group 1
// gives the short name, the next group 2 its long name.
std::vector<std::pair<std::string, std::string>> extendedNames(const XrecordBody& xrecord) {
    std::vector<std::pair<std::string, std::string>> names;
    OpenStream* in = dbStreamOpenRead(xrecord.data.get());
    if (!in) return names;
    bool inSection = false;
    std::string shortName;
    GroupItem item;
    while (dbReadGroupItem(in, item)) {
        if (item.code == 102) {
            inSection = item.text == "EXTNAMES";
            shortName.clear();
        } else if (inSection && item.code == 1) {
            shortName = item.text;
        } else if (inSection && item.code == 2 && !shortName.empty()) {
            names.emplace_back(std::exchange(shortName, {}), item.text);
        }
    }
    dbStreamCloseRead(in);
    return names;
}

// A file saved for an older version keeps the long symbol names it had to shorten in the
// xrecord "ACAD_XREC_ROUNDTRIP" of the named object dictionary: the records of every symbol
// table and the blocks get their long names back.
void restoreLongNames(Drawing& d) {
    ObjectRecord* root = dbNamedObjectDictionary(d);
    const DictionaryBody* rootBody = root ? root->body.getIf<DictionaryBody>() : nullptr;
    if (!rootBody) return;
    const ObjectRecord* roundTrip = nullptr;
    for (const DictionaryEntry& entry : rootBody->entries) {
        if (entry.name == "ACAD_XREC_ROUNDTRIP") roundTrip = dbFindStoredObject(&d, entry.handle);
    }
    const XrecordBody* xrecord = roundTrip ? roundTrip->body.getIf<XrecordBody>() : nullptr;
    if (!xrecord) return;
    for (const auto& names : extendedNames(*xrecord)) {
        const auto& shortName = names.first;
        const auto& longName = names.second;
        auto rename = [&](auto& table) {
            for (auto& node : table) {
                if (dbEqualsNoCase(node.record.name, shortName)) node.record.name = longName;
            }
        };
        rename(d.layers);
        rename(d.linetypes);
        rename(d.styles);
        rename(d.views);
        rename(d.ucss);
        rename(d.vports);
        rename(d.appIds);
        rename(d.dimStyles);
        // A block's name stands in its record and in the BLOCK entity that begins its list.
        for (BlockNode& block : d.blocks) {
            if (!dbEqualsNoCase(block.record.name, shortName)) continue;
            block.record.name = longName;
            dbMarkBlockIndexStale(&d);
            if (!block.entityList) continue;
            for (auto& node : *block.entityList) {
                if (auto* begin = node.record.body.getIf<BlockBeginBody>()) {
                    begin->name = longName;
                    break;
                }
            }
        }
    }
}

int DefaultsBuilder::run() {
    if (d_.load) rdRaiseHandleSeed(d_);
    restoreLongNames(d_);
    if (!dbNamedObjectDictionary(d_) && !dbCreateDefaultDictionaries(&d_, *d_.header, nullptr)) return 0;
    const Handle root = dbNamedObjectDictionary(d_)->header.handle;
    d_.handles.namedObjectDictionary = root;
    const bool hasLayouts = findEntry(dbNamedObjectDictionary(d_)->bodyAs<DictionaryBody>().entries, "ACAD_LAYOUT");

    // Plot styles: a dictionary with a default whose one entry "Normal" is a placeholder. A
    // drawing whose class list lacks the classes of these objects (a caller's own list) gets none.
    Handle plotStyles;
    const uint16_t placeholderClass = dbClassPlaceholder(d_.classes);
    const uint16_t styleDictionaryClass = dbClassDictionaryWithDefault(d_.classes);
    if (placeholderClass != 0 && styleDictionaryClass != 0) {
        const Handle placeholder = handleFor(kPlaceholder);
        plotStyles = handleFor(kPlotStyleDictionary);
        ObjectRecord normal = newObject(placeholderClass, placeholder, plotStyles);
        ObjectRecord styleDictionary = newObject(styleDictionaryClass, plotStyles, root);
        DictionaryWithDefaultBody& styles = styleDictionary.bodyAs<DictionaryWithDefaultBody>();
        styles.entries = {{"Normal", placeholder}};
        styles.defaultEntry = placeholder;
        if (!add(std::move(normal)) || !add(std::move(styleDictionary))) return 0;
        d_.handles.plotStyleDictionary = plotStyles;
        for (auto& layer : d_.layers) layer.record.plotStyle = placeholder;
    }

    // Layouts of model space and paper space.
    if (!hasLayouts && dbClassLayout(d_.classes) != 0) {
        const Handle layouts = handleFor(kLayoutDictionary);
        const Handle model = handleFor(kModelLayout);
        const Handle paper = handleFor(kPaperLayout);
        ObjectRecord layoutDictionary = newObject(kObjectDictionary, layouts, root);
        layoutDictionary.bodyAs<DictionaryBody>().entries = {{"Layout1", paper}, {"Model", model}};
        layoutDictionary.bodyAs<DictionaryBody>().hardOwner = 1;
        if (!add(newLayout("Model", model, d_.handles.modelSpaceBlock, 0, layouts)) ||
            !add(newLayout("Layout1", paper, d_.handles.paperSpaceBlock, 1, layouts)) ||
            !add(std::move(layoutDictionary))) {
            return 0;
        }
        d_.handles.layoutDictionary = layouts;
    }

    const Handle plotSettings = handleFor(kPlotSettingsDictionary);
    ObjectRecord settingsDictionary = newObject(kObjectDictionary, plotSettings, root);
    settingsDictionary.bodyAs<DictionaryBody>().hardOwner = 1;
    if (!add(std::move(settingsDictionary))) return 0;
    d_.handles.plotSettingsDictionary = plotSettings;
    Handle wipeout;
    if (gSystemContext && gSystemContext->wipeoutVariables && dbClassWipeoutVariables(d_.classes) != 0) {
        wipeout = handleFor(kWipeoutVariables);
        if (!add(newObject(dbClassWipeoutVariables(d_.classes), wipeout, root))) return 0;
    }

    // The named object dictionary keeps its entries in order and gains the missing ones.
    std::vector<DictionaryEntry>& entries = dbNamedObjectDictionary(d_)->bodyAs<DictionaryBody>().entries;
    if (DictionaryEntry* entry = findEntry(entries, "ACAD_LAYOUT")) {
        d_.handles.layoutDictionary = entry->handle;
    } else if (!d_.handles.layoutDictionary.isNull()) {
        entries.push_back({"ACAD_LAYOUT", d_.handles.layoutDictionary});
    }
    if (!findEntry(entries, "ACAD_PLOTSETTINGS")) entries.push_back({"ACAD_PLOTSETTINGS", plotSettings});
    if (!plotStyles.isNull()) {
        if (DictionaryEntry* entry = findEntry(entries, "ACAD_PLOTSTYLENAME")) {
            entry->handle = plotStyles;
        } else {
            entries.push_back({"ACAD_PLOTSTYLENAME", plotStyles});
        }
    }
    if (!wipeout.isNull() && !findEntry(entries, "ACAD_WIPEOUT_VARS")) entries.push_back({"ACAD_WIPEOUT_VARS", wipeout});
    return 1;
}

} // namespace

int rdFinishLoadDefaults(Drawing& drawing, const HandleSet* handleSet) {
    if (!drawing.header) return 0;
    DefaultsBuilder builder(drawing, handleSet);
    return builder.run();
}

void rdRaiseHandleSeed(Drawing& drawing) {
    Handle largest = gSystemContext ? gSystemContext->largestHandle : Handle();
    if (drawing.handleSeed <= largest) {
        dbHandleIncrement(largest);
        drawing.handleSeed = largest;
    }
    dbSetHandleSeed(&drawing, drawing.handleSeed);
}

} // namespace tracemill
