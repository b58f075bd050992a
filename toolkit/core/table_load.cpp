#include "toolkit/core/table_load.h"

#include <string_view>

#include "toolkit/core/class_list.h"
#include "toolkit/core/default_records.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/load_progress.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_release.h"

namespace tracemill {
namespace {

// Version index of "AC1012": files before it carry no handles.
constexpr int16_t kFirstVersionWithHandles = 5;

bool hasHandles(const Drawing& drawing) { return drawing.versionIndex >= kFirstVersionWithHandles; }
bool isDxf(const Drawing& drawing) { return drawing.sourceFormat != SourceFormat::Dwg; }

template <class List, class Visit>
bool anyRecord(List& list, Visit visit) {
    for (auto& node : list) {
        if (visit(node.record)) return true;
    }
    return false;
}

template <class List>
bool hasRecordNamed(List& list, std::string_view name) {
    return anyRecord(list, [&](const auto& record) { return dbEqualsNoCase(record.name, name); });
}

// The common pass: position, then for each announced record: default it, read it, give it a
// handle when it has none, attach its extended data and hand it to `add`, which applies
// the table's rules (1 added or passed over, 0 failed). A read that marks the end of the table
// ends the loop.
template <class Record, class List, class Init, class Read, class Add>
int readTable(Drawing& drawing, List& list, int32_t announced, int (FormatDriver::*seek)(Drawing&), Init init,
              Read read, Add add) {
    FormatDriver& driver = *drawing.driver;
    auto fail = [&] {
        dbFreeTableRecords(drawing, list);
        dbEndTableLoad(drawing);
        return 0;
    };
    if (!(driver.*seek)(drawing)) return fail();
    for (int32_t i = 0; i < announced; ++i) {
        Record record;
        init(record);
        uint8_t hasXData = 0;
        if (!read(record, hasXData)) return fail();
        if (record.endOfTable) break;
        // A record of a file with handles that lacks one gets a new handle as well.
        if ((!hasHandles(drawing) || record.handle.isNull()) && !dbNewHandle(&drawing, record.handle)) return fail();
        if (hasXData && !driver.attachExtendedData(drawing, record.xdata)) return fail();
        if (!add(record)) return fail();
    }
    return 1;
}

template <class Record>
auto appendTo(Drawing& drawing, RecordList<StoredRecord<Record>>& list) {
    return [&drawing, &list](Record& record) {
        return dbAddTableRecord(record.handle, drawing.handleIndex, StoredRecord<Record>(std::move(record)), &list,
                                kInsertAtEnd, nullptr) != nullptr;
    };
}

// Ends a pass that succeeded so far: adds the defaults (`finish`), then ends the table load.
template <class List, class Finish>
int finishTable(Drawing& drawing, List& list, Finish finish) {
    if (!finish()) {
        dbFreeTableRecords(drawing, list);
        dbEndTableLoad(drawing);
        return 0;
    }
    dbEndTableLoad(drawing);
    return 1;
}

int addAppended(Drawing& drawing, ObjectRecord& object, uint8_t hasXData) {
    if (hasXData && !drawing.driver->attachExtendedData(drawing, object.header.xdata)) return 0;
    return dbAddObject(&drawing, object);
}

} // namespace

void dbEndTableLoad(Drawing& drawing) {
    if (drawing.driver) drawing.driver->endTableLoad(drawing);
}

int dbLoadLinetypes(Drawing& drawing) {
    if (!hasHandles(drawing) && !dbAddByBlockByLayerLinetypes(drawing, nullptr)) return 0;
    Handle continuous;
    const bool ok = readTable<LinetypeRecord>(
        drawing, drawing.linetypes, drawing.announced.linetypes, &FormatDriver::seekLinetypes,
        dbInitLinetypeRecord,
        [&](LinetypeRecord& record, uint8_t& hasXData) {
            return drawing.driver->readLinetype(drawing, record, hasXData);
        },
        [&](LinetypeRecord& record) {
            if (isDxf(drawing) && hasRecordNamed(drawing.linetypes, record.name)) return 1;
            const bool byLayer = dbEqualsNoCase(record.name, "BYLAYER");
            const bool byBlock = dbEqualsNoCase(record.name, "BYBLOCK");
            if (byLayer || byBlock) {
                // Files with handles name these two by their own records; in older files the
                // two were added above and keep their handles.
                if (hasHandles(drawing)) {
                    (byLayer ? drawing.handles.byLayerLinetype : drawing.handles.byBlockLinetype) = record.handle;
                }
                return 1;
            }
            if (!isDxf(drawing) && hasHandles(drawing) &&
                (record.handle == drawing.handles.byLayerLinetype ||
                 record.handle == drawing.handles.byBlockLinetype)) {
                return 1;
            }
            if (dbEqualsNoCase(record.name, "CONTINUOUS")) continuous = record.handle;
            record.owner = drawing.handles.linetypeControl;
            return dbLtypeAdd(&drawing, record);
        });
    if (!ok) return 0;
    drawing.continuousLinetype = continuous;
    return finishTable(drawing, drawing.linetypes, [&] {
        if (hasHandles(drawing)) {
            if (!dbAddNamedLinetype(drawing, "ByBlock", drawing.handles.byBlockLinetype)) return 0;
            if (!dbAddNamedLinetype(drawing, "ByLayer", drawing.handles.byLayerLinetype)) return 0;
        }
        if (isDxf(drawing) && continuous.isNull()) return dbAddContinuousLinetype(drawing, nullptr);
        return 1;
    });
}

namespace {

// The handle of the linetype a layer names by name (DXF) or by position (before R13),
// counting over "BYBLOCK" and "BYLAYER"; the first LTYPE record's handle without a match.
Handle resolveLayerLinetype(Drawing& drawing, const LinetypeReference& reference, bool byName) {
    int32_t position = 0;
    Handle found;
    anyRecord(drawing.linetypes, [&](const LinetypeRecord& linetype) {
        if (dbIsByBlockOrByLayerName(linetype.name)) return false;
        const bool match = byName ? linetype.name == reference.name : position == reference.index;
        ++position;
        if (match) found = linetype.handle;
        return match;
    });
    return found ? found : dbFirstRecordHandle(drawing.linetypes);
}

} // namespace

int dbLoadLayers(Drawing& drawing) {
    const bool ok = readTable<LayerRecord>(
        drawing, drawing.layers, drawing.announced.layers, &FormatDriver::seekLayers,
        [&](LayerRecord& record) { record = LayerRecord{}; },
        [&](LayerRecord& record, uint8_t& hasXData) {
            LinetypeReference reference;
            if (!drawing.driver->readLayer(drawing, record, reference, hasXData)) return 0;
            // A layer cannot be BYBLOCK: one that stores no colour (a DXF record without group
            // 62) or colour 0 is drawn in colour 7, as a layer missing from the table is.
            if (record.colour == 0) record.colour = 7;
            if (drawing.header->visretain == 0 && record.name.find('|') != std::string::npos) {
                reference.name = "Continuous";
                reference.index = 0;
                if (!drawing.continuousLinetype.isNull()) record.linetype = drawing.continuousLinetype;
            }
            if (!hasHandles(drawing) || isDxf(drawing)) {
                record.linetype = resolveLayerLinetype(drawing, reference, isDxf(drawing));
            }
            return 1;
        },
        [&](LayerRecord& record) {
            if (isDxf(drawing) && hasRecordNamed(drawing.layers, record.name)) return true;
            record.drawing = &drawing;
            record.owner = drawing.handles.layerControl;
            return appendTo(drawing, drawing.layers)(record);
        });
    if (!ok) return 0;
    return finishTable(drawing, drawing.layers, [&] {
        if (isDxf(drawing) && !hasRecordNamed(drawing.layers, "0")) return dbAddLayerZero(drawing, nullptr);
        return 1;
    });
}

int dbLoadVports(Drawing& drawing) {
    if (drawing.announced.vports > kMaxAnnouncedVports) return 0;
    const bool ok = readTable<VportRecord>(
        drawing, drawing.vports, drawing.announced.vports, &FormatDriver::seekVports, dbInitVportRecord,
        [&](VportRecord& record, uint8_t& hasXData) { return drawing.driver->readVport(drawing, record, hasXData); },
        appendTo(drawing, drawing.vports));
    if (!ok) return 0;
    return finishTable(drawing, drawing.vports, [&] {
        if (!hasRecordNamed(drawing.vports, "*ACTIVE")) return dbAddActiveVport(drawing, nullptr);
        return 1;
    });
}

int dbLoadUcss(Drawing& drawing) {
    const bool ok = readTable<UcsRecord>(
        drawing, drawing.ucss, drawing.announced.ucss, &FormatDriver::seekUcss, dbInitUcsRecord,
        [&](UcsRecord& record, uint8_t& hasXData) { return drawing.driver->readUcs(drawing, record, hasXData); },
        appendTo(drawing, drawing.ucss));
    return ok ? finishTable(drawing, drawing.ucss, [] { return 1; }) : 0;
}

int dbLoadViews(Drawing& drawing) {
    const bool ok = readTable<ViewRecord>(
        drawing, drawing.views, drawing.announced.views, &FormatDriver::seekViews, dbInitViewRecord,
        [&](ViewRecord& record, uint8_t& hasXData) { return drawing.driver->readView(drawing, record, hasXData); },
        appendTo(drawing, drawing.views));
    return ok ? finishTable(drawing, drawing.views, [] { return 1; }) : 0;
}

int dbLoadAppIds(Drawing& drawing) {
    if (drawing.announced.appIds == 0) {
        return finishTable(drawing, drawing.appIds, [&] { return dbAddAcadAppId(drawing, nullptr); });
    }
    const bool ok = readTable<AppIdRecord>(
        drawing, drawing.appIds, drawing.announced.appIds, &FormatDriver::seekAppIds, dbInitAppIdRecord,
        [&](AppIdRecord& record, uint8_t& hasXData) { return drawing.driver->readAppId(drawing, record, hasXData); },
        appendTo(drawing, drawing.appIds));
    if (!ok) return 0;
    return finishTable(drawing, drawing.appIds, [&] {
        if (isDxf(drawing) && !hasRecordNamed(drawing.appIds, "ACAD")) return dbAddAcadAppId(drawing, nullptr);
        return 1;
    });
}

int dbLoadStyles(Drawing& drawing) {
    const bool ok = readTable<StyleRecord>(
        drawing, drawing.styles, drawing.announced.styles, &FormatDriver::seekStyles, dbInitStyleRecord,
        [&](StyleRecord& record, uint8_t& hasXData) { return drawing.driver->readStyle(drawing, record, hasXData); },
        appendTo(drawing, drawing.styles));
    if (!ok) return 0;
    return finishTable(drawing, drawing.styles, [&] {
        if (isDxf(drawing) && !hasRecordNamed(drawing.styles, "STANDARD")) return dbAddStandardStyle(drawing, nullptr);
        return 1;
    });
}

int dbLoadDimStyles(Drawing& drawing) {
    const Handle firstStyle = dbFirstRecordHandle(drawing.styles);
    if (drawing.announced.dimStyles == 0) {
        return finishTable(drawing, drawing.dimStyles, [&] {
            DimStyleRecord record;
            dbInitDimStyleRecord(drawing, record);
            dbDimStyleFromHeader(*drawing.header, record);
            record.name = "Standard";
            record.dimtxsty = firstStyle;
            record.owner = drawing.handles.dimStyleControl;
            if (!dbNewHandle(&drawing, record.handle)) return 0;
            return int(appendTo(drawing, drawing.dimStyles)(record));
        });
    }
    int read = 0;
    // The arrowheads a record's read deferred name the record by the handle it is stored under,
    // which for files without handles is given only after the read.
    size_t deferredBefore = 0;
    const bool ok = readTable<DimStyleRecord>(
        drawing, drawing.dimStyles, drawing.announced.dimStyles, &FormatDriver::seekDimStyles,
        [&](DimStyleRecord& record) { dbInitDimStyleRecord(drawing, record); },
        [&](DimStyleRecord& record, uint8_t& hasXData) {
            deferredBefore = drawing.deferredArrowheads.size();
            return drawing.driver->readDimStyle(drawing, record, hasXData);
        },
        [&](DimStyleRecord& record) {
            ++read;
            if (record.dimtxsty.isNull()) record.dimtxsty = firstStyle;
            for (size_t i = deferredBefore; i < drawing.deferredArrowheads.size(); ++i) {
                drawing.deferredArrowheads[i].dimStyle = record.handle;
            }
            return appendTo(drawing, drawing.dimStyles)(record);
        });
    if (!ok) return 0;
    return finishTable(drawing, drawing.dimStyles, [&] {
        if (read == 0) return dbAddStandardDimStyle(drawing, nullptr);
        return 1;
    });
}

int dbLoadClasses(Drawing& drawing) {
    ClassList& classes = drawing.classes;
    if (!hasHandles(drawing)) return dbAddDefaultClasses(classes);
    classes.zombieEntityNumber = 0;
    classes.zombieObjectNumber = 0;
    auto fail = [&] {
        dbFreeClasses(&drawing);
        return 0;
    };
    if (!drawing.driver->seekClasses(drawing)) return fail();
    uint32_t dxfNumber = kFirstClassNumber;
    for (;;) {
        ClassEntry entry;
        if (!drawing.driver->readClass(drawing, entry)) break;
        if (isDxf(drawing)) {
            if (dxfNumber > UINT16_MAX) return fail();
            entry.number = uint16_t(dxfNumber++);
        }
        if (dbEqualsNoCase(entry.dxfName, "DxfZombieEntity")) classes.zombieEntityNumber = entry.number;
        if (dbEqualsNoCase(entry.dxfName, "DxfZombieObject")) classes.zombieObjectNumber = entry.number;
        if (!dbAppendClass(classes, entry)) return fail();
    }
    if (!dbAddDefaultClasses(classes)) return fail();
    if (!isDxf(drawing)) {
        classes.isEntity.clear();
        for (const ClassEntry& entry : classes.entries) {
            classes.isEntity.push_back(entry.itemClassId == kClassOfEntities ? 1 : 0);
        }
    }
    return 1;
}

int dbLoadObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    if (!drawing.driver->readClassObject(drawing, object, hasXData) || !addAppended(drawing, object, hasXData)) {
        dbFreeObjectList(&drawing);
        return 0;
    }
    return 1;
}

int dbLoadObjects(Drawing& drawing) {
    if (!hasHandles(drawing)) return 1;
    FormatDriver& driver = *drawing.driver;
    auto fail = [&] {
        dbFreeObjectList(&drawing);
        driver.endObjectLoad(drawing);
        return 0;
    };
    if (!driver.seekObjects(drawing)) return fail();
    for (;;) {
        const uint16_t code = driver.nextObjectCode(drawing);
        if (code == kNoMoreObjects) break;
        ObjectRecord object;
        object.header.type = code;
        uint8_t hasXData = 0;
        int read = 0;
        switch (code) {
        case kObjectDictionary:
            dbInitObject(&drawing, object);
            read = driver.readDictionary(drawing, object, hasXData);
            break;
        case kObjectMlineStyle:
            dbInitObject(&drawing, object);
            read = driver.readMlineStyle(drawing, object, hasXData);
            break;
        case kObjectGroup:
            dbInitObject(&drawing, object);
            read = driver.readGroup(drawing, object, hasXData);
            break;
        default:
            // Only class numbers are left; anything else is a damaged file.
            if (code < kClassOfEntities) return fail();
            dbInitObject(&drawing, object);
            if (!dbLoadObject(drawing, object, hasXData)) {
                driver.endObjectLoad(drawing);
                return 0;
            }
            continue;
        }
        if (!read || !addAppended(drawing, object, hasXData)) return fail();
    }
    driver.endObjectLoad(drawing);
    return 1;
}

int16_t dbLoadProgress(Drawing& drawing) {
    drawing.loadProgress = dbProgressPercent(drawing.driver->entityRangePosition(drawing), drawing.loadProgress);
    return drawing.loadProgress;
}

} // namespace tracemill
