#include "toolkit/write/save_driver.h"

#include <algorithm>
#include <new>

#include "toolkit/core/class_list.h"
#include "toolkit/core/code_page_text.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/handle_tree.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/load_fixups.h"
#include "toolkit/write/dwg12/dwg12_file_writer.h"
#include "toolkit/write/dwg13/file_writer.h"
#include "toolkit/write/dxf/dxf_file_driver.h"
#include "toolkit/write/save_changes.h"

namespace tracemill {
namespace {

constexpr VersionTableRow kVersionTable[5] = {
    {{38, 38, 194, 188, 92, 0, 0, 0, 0, 0}, "AC1002"},
    {{38, 38, 194, 188, 92, 0, 0, 0, 0, 0}, "AC1003"},
    {{37, 37, 194, 187, 91, 0, 0, 0, 0, 0}, "AC1004"},
    {{37, 37, 194, 187, 149, 105, 249, 0, 0, 0}, "AC1006"},
    {{45, 41, 198, 191, 153, 109, 253, 37, 324, 43}, "AC1009"},
};

constexpr std::string_view kRoundTripEntry = "ACDBHEADERROUNDTRIPXREC";
constexpr size_t kScratchSize = 4096;
// The name budget of a block without a row.
constexpr int32_t kDefaultNameBudget = 26;

// Takes the header round-trip record out of the root dictionary and the drawing.
int hideRoundTripRecord(Drawing& drawing, SaveChanges& changes) {
    ObjectRecord* root = dbNamedObjectDictionary(drawing);
    if (!root || root->header.type != kObjectDictionary) return 1;
    auto* body = root->body.getIf<DictionaryBody>();
    if (!body) return 1;
    const auto found = std::find_if(body->entries.begin(), body->entries.end(),
                                    [](const DictionaryEntry& e) { return e.name == kRoundTripEntry; });
    if (found == body->entries.end()) return 1;
    const Handle target = found->handle;
    changes.keepObject(root->header.handle);
    body->entries.erase(found);
    return changes.detachObjectTree(target);
}

DictionaryEntry* findEntry(std::vector<DictionaryEntry>& entries, std::string_view name) {
    for (DictionaryEntry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// A new object of a type with its handle from the seed, owned by `owner` (also its reactor).
Handle addOwnedObject(Drawing& drawing, SaveChanges& changes, uint16_t type, Handle owner, ObjectBody body) {
    ObjectRecord object;
    object.header.type = type;
    dbInitObject(&drawing, object);
    object.header.handle = dbNewHandle(drawing);
    object.header.owner = owner;
    object.header.reactors = {owner};
    object.body = std::move(body);
    const Handle handle = object.header.handle;
    if (!dbAddObject(&drawing, std::move(object))) return Handle();
    changes.noteAddedObject(handle);
    return handle;
}

// The extension-dictionary entries an "AC1014" file keeps for an external-reference block
// ("ACAD_BLKREFS": its inserts; "ACAD_UNLOAD": unloaded) are made for that version and taken
// out for every other. Objects taken out are detached, not deleted, and come back afterwards.
int adjustXrefBlockRecords(Drawing& drawing, int16_t versionIndex, SaveChanges& changes) {
    bool kept = false;
    for (BlockNode& block : drawing.blocks) {
        BlockRecord& record = block.record;
        const bool xref = versionIndex == kVersionAC1014 && (record.flags & kBlockExternalReference);
        const size_t inserts = xref ? record.insertReferences.size() : 0;
        const bool unloaded = xref && record.xrefDisabled;
        ObjectRecord* dictionary =
            record.extensionDictionary.isNull() ? nullptr : dbFindStoredObject(&drawing, record.extensionDictionary);
        if (dictionary && !dictionary->body.holds<DictionaryBody>()) dictionary = nullptr;
        if (!dictionary && inserts == 0 && !unloaded) continue;
        if (!kept) {
            changes.keepTableRecords();
            kept = true;
        }
        if (!dictionary) {
            const Handle handle = addOwnedObject(drawing, changes, kObjectDictionary, record.handle, DictionaryBody{});
            if (handle.isNull()) return 0;
            record.extensionDictionary = handle;
            dictionary = dbFindStoredObject(&drawing, handle);
        }
        const Handle dictionaryHandle = dictionary->header.handle;
        std::vector<DictionaryEntry> entries;
        bool changed = false;
        for (const DictionaryEntry& entry : dictionary->bodyAs<DictionaryBody>().entries) {
            if ((entry.name == "ACAD_BLKREFS" && inserts == 0) || (entry.name == "ACAD_UNLOAD" && !unloaded)) {
                if (!changes.detachObjectTree(entry.handle)) return 0;
                changed = true;
                continue;
            }
            entries.push_back(entry);
        }
        auto ensureIdBuffer = [&](std::string_view name) -> Handle {
            if (DictionaryEntry* entry = findEntry(entries, name)) return entry->handle;
            uint16_t idBufferClass = dbClassIdBuffer(drawing.classes);
            if (idBufferClass == 0) idBufferClass = dbAddDefaultClass(drawing.classes, ClassKind::IdBuffer);
            if (idBufferClass == 0) return Handle();
            const Handle handle = addOwnedObject(drawing, changes, idBufferClass, dictionaryHandle, IdBufferBody{});
            if (!handle.isNull()) entries.push_back({std::string(name), handle});
            changed = true;
            return handle;
        };
        if (inserts > 0) {
            const Handle idBuffer = ensureIdBuffer("ACAD_BLKREFS");
            if (idBuffer.isNull()) return 0;
            ObjectRecord* buffer = dbFindStoredObject(&drawing, idBuffer);
            if (buffer && buffer->body.holds<IdBufferBody>() &&
                buffer->bodyAs<IdBufferBody>().ids != record.insertReferences) {
                changes.keepObject(idBuffer);
                buffer->bodyAs<IdBufferBody>().ids = record.insertReferences;
            }
        }
        if (unloaded && ensureIdBuffer("ACAD_UNLOAD").isNull()) return 0;
        if (changed) {
            changes.keepObject(dictionaryHandle);
            dbFindStoredObject(&drawing, dictionaryHandle)->bodyAs<DictionaryBody>().entries = std::move(entries);
        }
    }
    return 1;
}

bool hasLayoutDictionary(Drawing& drawing) {
    ObjectRecord* root = dbNamedObjectDictionary(drawing);
    const auto* body = root ? root->body.getIf<DictionaryBody>() : nullptr;
    if (!body) return false;
    return std::any_of(body->entries.begin(), body->entries.end(),
                       [](const DictionaryEntry& e) { return e.name == "ACAD_LAYOUT"; });
}

// A loaded drawing without the layouts and plot-style dictionaries that every "AC1015" file
// carries gets them for the save, built as a load with defaults builds them.
int addDefaultsOf2000(Drawing& drawing, SaveChanges& changes) {
    std::vector<Handle> before;
    for (const ObjectNode& node : drawing.objects) before.push_back(node.record.header.handle);
    std::sort(before.begin(), before.end());
    if (ObjectRecord* root = dbNamedObjectDictionary(drawing)) changes.keepObject(root->header.handle);
    changes.keepTableRecords();
    const int ok = rdFinishLoadDefaults(drawing, nullptr);
    for (const ObjectNode& node : drawing.objects) {
        const Handle handle = node.record.header.handle;
        if (!std::binary_search(before.begin(), before.end(), handle)) changes.noteAddedObject(handle);
    }
    return ok;
}

int32_t countCharsAfterBar(std::string_view name, size_t bar, int codePage) {
    return dbCountChars(name.substr(bar + 1), codePage);
}

template <class List>
void offerNames(const Drawing& drawing, const List& list, OutputContext& output) {
    const int codePage = drawing.header ? drawing.header->dwgcodepage : 0;
    for (const auto& node : list) {
        const std::string& name = node.record.name;
        const size_t bar = dbFindChar(name, '|', codePage);
        if (bar == std::string::npos) continue;
        const std::string_view blockName = std::string_view(name).substr(0, bar);
        Handle block;
        for (const BlockNode& candidate : drawing.blocks) {
            if (dbEqualsNoCase(candidate.record.name, blockName)) {
                block = candidate.record.handle;
                break;
            }
        }
        if (block.isNull()) continue;
        const int32_t budget = std::max(4, 30 - countCharsAfterBar(name, bar, codePage));
        auto row = std::find_if(output.xrefNameBudgets.begin(), output.xrefNameBudgets.end(),
                                [&](const XrefNameBudget& r) { return r.block == block; });
        if (row == output.xrefNameBudgets.end()) {
            output.xrefNameBudgets.push_back({block, budget, name});
        } else if (budget < row->budget) {
            row->budget = budget;
        }
    }
}

} // namespace

const VersionTableRow& wrVersionTableRow(int versionIndex) {
    return kVersionTable[std::clamp(versionIndex, 0, 4)];
}

void SetOutputVersion(OutputContext& output, int16_t versionIndex, HeaderBlock& header) {
    output.versionIndex = versionIndex;
    if (versionIndex >= kVersionAC1012 && versionIndex <= kVersionAC1015) {
        header.acadver = std::string(kVersionSignatures[versionIndex]);
    } else if (versionIndex >= 0 && versionIndex < kVersionAC1012) {
        output.tableRecordSizes = kVersionTable[versionIndex].recordSizes;
        header.acadver = std::string(kVersionTable[versionIndex].version);
    }
}

OutputContextPtr wrOpenOutput(const char* path, int16_t versionIndex, uint8_t format) {
    dbSetError(kErrorSaveContext);
    OutputContextPtr output(new (std::nothrow) OutputContext());
    if (!output) return nullptr;
    dbSetError(kErrorSaveOpen);
    output->file.reset(dbOutFileOpen(path, "w+b"));
    if (!output->file) return nullptr;
    dbSetError(kErrorSaveScratch);
    output->scratch.resize(kScratchSize);
    dbSetError(0);
    output->format = format;
    output->isDxf = format != kSaveFormatDwg ? 1 : 0;
    output->versionIndex = versionIndex;
    output->byLayerLinetypeCode = versionIndex <= kVersionAC1006 ? 256 : 32767;
    output->byBlockLinetypeCode = versionIndex <= kVersionAC1006 ? 255 : 32766;
    return output;
}

void wrBuildXrefNameBudgets(const Drawing& drawing, OutputContext& output) {
    output.xrefNameBudgets.clear();
    offerNames(drawing, drawing.appIds, output);
    offerNames(drawing, drawing.layers, output);
    offerNames(drawing, drawing.linetypes, output);
}

int32_t wrXrefNameBudget(const OutputContext& output, Handle block) {
    for (const XrefNameBudget& row : output.xrefNameBudgets) {
        if (row.block == block) return row.budget;
    }
    return kDefaultNameBudget;
}

int wrSaveDrawing(Drawing* drawing, const char* path, uint8_t format, int16_t versionIndex, int16_t realSwitch,
                  int16_t decimalPlaces, int16_t entitySwitch, uint8_t oldDxfFlag) {
    if (versionIndex < kVersionAC1002 || versionIndex > kVersionAC1015) return dbSetError(kErrorSaveVersion);
    if (!drawing || !drawing->header) return dbSetError(kErrorSaveContext);
    if (drawing->creationVersion != kCreationVersionLoaded && drawing->creationVersion < kVersionAC1015 &&
        versionIndex >= kVersionAC1015) {
        return dbSetError(kErrorSaveVersion);
    }

    SaveChanges changes(*drawing);
    changes.keepDrawingState();
    const int16_t ownVersion = drawing->versionIndex;
    int result = 0;
    [&] {
        if ((versionIndex < kVersionAC1015 || versionIndex != ownVersion) &&
            !hideRoundTripRecord(*drawing, changes)) {
            return;
        }
        dbReportSaveProgress(0);
        if (versionIndex != ownVersion && !adjustXrefBlockRecords(*drawing, versionIndex, changes)) return;
        // A drawing without a named object dictionary (a file without OBJECTS) is saved as it is:
        // the reader of the file makes the dictionaries and layouts.
        if (versionIndex == kVersionAC1015 && drawing->creationVersion == kCreationVersionLoaded &&
            dbNamedObjectDictionary(*drawing) && !hasLayoutDictionary(*drawing) &&
            !addDefaultsOf2000(*drawing, changes)) {
            return;
        }
        OutputContextPtr output = wrOpenOutput(path, versionIndex, format);
        if (!output) return;
        output->header = *drawing->header;
        SetOutputVersion(*output, versionIndex, output->header);
        output->header.handseed = output->header.handling == 0 ? Handle(1) : drawing->handleSeed;
        if (versionIndex < kVersionAC1015) wrBuildXrefNameBudgets(*drawing, *output);
        output->defaultStyleName = drawing->styles.first
                                       ? static_cast<const StoredRecord<StyleRecord>*>(drawing->styles.first)->record.name
                                       : std::string();
        if (format == kSaveFormatDwg) {
            result = versionIndex < kVersionAC1012 ? WriteDwgOld(*drawing, *output) : WriteDwgR13(*drawing, *output);
            return;
        }
        result = versionIndex < kVersionAC1012
                     ? WriteDxfOld(*drawing, *output, oldDxfFlag, realSwitch, decimalPlaces, entitySwitch)
                     : WriteDxfR13(*drawing, *output, realSwitch, decimalPlaces, entitySwitch);
    }();
    const int error = dbGetError();
    changes.undo();
    dbSetError(error);
    if (result) {
        dbSetError(0);
        dbReportSaveProgress(100);
    }
    return result;
}

} // namespace tracemill
