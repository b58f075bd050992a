// The DXF open: one pass over the whole file that reads the HEADER section into the header
// block and, for every other section, records where its parts lie (the section index), so that
// the later passes seek straight to them.
#include <algorithm>
#include <memory>
#include <numbers>

#include "toolkit/core/code_pages.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_reader.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {
namespace {

constexpr std::string_view kTableNames[kDxfTableCount] = {"LTYPE", "LAYER", "STYLE",    "VIEW",  "VPORT",
                                                          "APPID", "DIMSTYLE", "UCS", "BLOCK", "BLOCK_RECORD"};

bool continueFlagSet() { return gSystemContext && gSystemContext->continueFlag != 0; }

// The table-control handle of a table, null for BLOCK (whose control is BLOCK_RECORD's).
Handle* tableControl(Drawing& drawing, size_t table) {
    DrawingHandles& h = drawing.handles;
    switch (DxfRecordKind(table)) {
    case DxfRecordKind::Ltype: return &h.linetypeControl;
    case DxfRecordKind::Layer: return &h.layerControl;
    case DxfRecordKind::Style: return &h.styleControl;
    case DxfRecordKind::View: return &h.viewControl;
    case DxfRecordKind::Vport: return &h.vportControl;
    case DxfRecordKind::AppId: return &h.appIdControl;
    case DxfRecordKind::DimStyle: return &h.dimStyleControl;
    case DxfRecordKind::Ucs: return &h.ucsControl;
    case DxfRecordKind::BlockRecord: return &h.blockControl;
    default: return nullptr;
    }
}

// The progress of the walk in steps of 5 per cent of the file.
void reportProgress(DxfLoadState& state) {
    state.groupCounter = 0;
    if (!gSystemContext || !gSystemContext->dxfScanProgress) return;
    const int16_t before = state.progressPercent;
    const int64_t position = rdDxfTell(state);
    while (position > state.progressThreshold && state.progressPercent < 100) {
        state.progressPercent = int16_t(state.progressPercent + 5);
        state.progressThreshold += state.progressStep;
    }
    if (state.progressPercent > 100) state.progressPercent = 100;
    if (state.progressPercent != before) gSystemContext->dxfScanProgress(state.progressPercent);
}

void countGroups(DxfLoadState& state, uint64_t count) {
    state.groupCounter = uint16_t(std::min<uint64_t>(state.groupCounter + count, 100));
    if (state.groupCounter >= 100) reportProgress(state);
}
void countGroup(DxfLoadState& state) { countGroups(state, 1); }

int scanTables(Drawing& drawing, DxfLoadState& state) {
    DxfGroup& group = state.group();
    for (;;) {
        if (!rdDxfNextGroup(state)) return 0;
        countGroup(state);
        if (rdDxfIs(group, 0, "ENDSEC")) return 1;
        if (!rdDxfNextGroup(state)) return 0;
        size_t table = kDxfTableCount;
        for (size_t i = 0; i < kDxfTableCount; ++i) {
            if (rdDxfIs(group, 2, kTableNames[i])) table = i;
        }
        // The table's head: its handle (the table-control object's), owner, subclass and record
        // count groups, up to its first record.
        for (;;) {
            const int64_t position = rdDxfTell(state);
            if (!rdDxfNextGroup(state)) return 0;
            if (group.code == 0) {
                rdDxfSeek(state, position);
                break;
            }
            if (group.code != 5 || table >= kDxfTableCount || drawing.versionIndex < kVersionAC1012) continue;
            if (Handle* control = tableControl(drawing, table)) *control = group.handle;
        }
        const bool counts = table < kDxfTableCount && DxfRecordKind(table) != DxfRecordKind::Block;
        for (;;) {
            const int64_t position = rdDxfTell(state);
            if (!rdDxfNextGroup(state)) return 0;
            countGroup(state);
            if (rdDxfIs(group, 0, "ENDTAB")) break;
            if (rdDxfIs(group, 0, "ENDSEC")) {
                // A table left open ends with its section.
                rdDxfSeek(state, position);
                break;
            }
            if (counts && rdDxfIs(group, 0, kTableNames[table])) {
                DxfTableIndex& index = state.index.tables[table];
                index.seen = true;
                if (index.count == 0) index.firstRecord = position;
                ++index.count;
            }
        }
    }
}

// Walks a section to its (0, "ENDSEC"), calling `each` with the position and the group of every
// code-0 group; the position of ENDSEC is the result, -1 when the file ends first.
template <class Each>
int64_t scanSection(DxfLoadState& state, Each each) {
    DxfGroup& group = state.group();
    for (;;) {
        uint64_t position = 0;
        uint64_t groups = 0;
        const int found = rdDxfSkimToCodeZero(state.reader, position, groups);
        countGroups(state, groups);
        if (!found) return -1;
        if (group.text == "ENDSEC") return int64_t(position);
        each(int64_t(position), group);
    }
}

int scanEntities(Drawing& drawing, DxfLoadState& state) {
    state.index.entitiesStart = rdDxfTell(state);
    const bool viewports = drawing.versionIndex >= kVersionAC1009;
    const int64_t end = scanSection(state, [&](int64_t position, const DxfGroup& group) {
        if (viewports && group.text == "VIEWPORT") state.index.viewports.push_back(position);
    });
    if (end < 0) return 0;
    state.index.entitiesEnd = end;
    return 1;
}

int scanBlocks(DxfLoadState& state) {
    state.index.blocksStart = rdDxfTell(state);
    state.index.blocks.clear();
    const int64_t end = scanSection(state, [&](int64_t position, const DxfGroup& group) {
        if (group.text == "BLOCK") state.index.blocks.push_back(position);
    });
    return end >= 0;
}

int scanObjects(DxfLoadState& state) {
    state.index.objectsStart = rdDxfTell(state);
    const int64_t end = scanSection(state, [&](int64_t position, const DxfGroup& group) {
        ++state.index.objectCount;
        if (group.text != "MLINESTYLE") return;
        if (state.index.mlineStyleCount++ == 0) state.index.firstMlineStyle = position;
    });
    return end >= 0;
}

// The version index of the header's ACADVER; a version the reader does not know is read as
// "AC1009" (noted in the session, and in the drawing when the file named that version).
int settleDxfVersion(Drawing& drawing, LoadSession& session) {
    HeaderBlock& header = *drawing.header;
    int version = dbVersionIndex(header.acadver);
    if (version == kVersionUnknown) {
        if (!header.acadver.empty()) drawing.versionFallback.fileVersion = header.acadver;
        header.acadver = "AC1009";
        version = kVersionAC1009;
        session.versionDefaulted = true;
    }
    drawing.versionIndex = int16_t(version);
    dxfState(drawing).reader.versionIndex = version;
    return version;
}

void setDefaultNames(HeaderEntryNames& names) {
    names = HeaderEntryNames{};
    names[HeaderEntryName::Celtype] = "Continuous";
    names[HeaderEntryName::Clayer] = "0";
    names[HeaderEntryName::Cmlstyle] = "Standard";
    names[HeaderEntryName::Dimstyle] = "Standard";
    names[HeaderEntryName::Dimtxsty] = "Standard";
    names[HeaderEntryName::Textstyle] = "Standard";
}

bool isExtents(const HeaderVariable& variable) {
    return variable.name == "EXTMIN" || variable.name == "EXTMAX" || variable.name == "PEXTMIN" ||
           variable.name == "PEXTMAX";
}

// Stores the value group in hand into a header variable; points take the 20 (and 30) groups
// that follow directly. The group after the value is in hand afterwards (0 when the file ends).
int storeHeaderValue(DxfLoadState& state, HeaderBlock& header, const HeaderVariable& variable) {
    DxfGroup& group = state.group();
    HeaderValue value;
    switch (variable.type) {
    case HeaderValueType::U8: value = int32_t(uint8_t(group.shortValue)); break;
    case HeaderValueType::I16:
    case HeaderValueType::UserInt: value = int32_t(group.shortValue); break;
    case HeaderValueType::Double:
    case HeaderValueType::UserReal: value = group.real; break;
    case HeaderValueType::Text: value = group.text; break;
    case HeaderValueType::Date: value = dbHeaderDateFromDxf(group.real); break;
    case HeaderValueType::Handle: value = group.handle; break;
    case HeaderValueType::CodePage: {
        int number = 0;
        dbCodePageFromName(group.text.c_str(), number);
        value = int32_t(number);
        break;
    }
    case HeaderValueType::Point2:
    case HeaderValueType::Point3: {
        const bool is3d = variable.type == HeaderValueType::Point3;
        const HeaderValue current = dbGetHeaderValue(header, variable);
        Point3 point = is3d ? std::get<Point3>(current)
                            : Point3{std::get<Point2>(current).x, std::get<Point2>(current).y, 0.0};
        point.x = group.real;
        // Extents given as 2D points (older files) lie in the plane z = 0: their template z
        // (+1e20 for the minimum, -1e20 for the maximum) would leave them empty.
        if (isExtents(variable)) point.z = 0.0;
        if (!rdDxfNextGroup(state)) return 0;
        if (group.code == 20) {
            point.y = group.real;
            if (!rdDxfNextGroup(state)) return 0;
            if (is3d && group.code == 30) {
                point.z = group.real;
                if (!rdDxfNextGroup(state)) return 0;
            }
        }
        if (is3d) dbSetHeaderValue(header, variable, point);
        else dbSetHeaderValue(header, variable, Point2{point.x, point.y});
        return 1;
    }
    }
    dbSetHeaderValue(header, variable, value);
    return rdDxfNextGroup(state);
}

// DIMUNIT of R13 and R14 files has the older meaning of DIMLUNIT with DIMFRAC.
void convertDimUnit(HeaderBlock& header) {
    switch (header.dimlunit) {
    case 4:
    case 5: header.dimfrac = 0; break;
    case 6: header.dimlunit = 4; header.dimfrac = 2; break;
    case 7: header.dimlunit = 5; header.dimfrac = 2; break;
    case 8: header.dimlunit = 6; header.dimfrac = 0; break;
    default: break;
    }
}

} // namespace

int rdDxfReadHeader(Drawing& drawing, HeaderBlock& header) {
    DxfLoadState& state = dxfState(drawing);
    LoadSession& session = *drawing.load;
    DxfGroup& group = state.group();
    bool ended = false;
    bool versionNamed = false;
    if (!rdDxfNextGroup(state)) return dbSetError(kErrorDxfHeaderEnd);
    for (;;) {
        if (rdDxfIs(group, 0, "ENDSEC")) {
            ended = true;
            break;
        }
        // Only a code-9 group names a variable; anything else (the value of an unknown
        // variable) is passed over.
        const HeaderVariable* variable = group.code == 9 ? dbFindHeaderVariable(group.text) : nullptr;
        if (variable) {
            if (variable->name == "ACADVER") versionNamed = true;
            if (!rdDxfNextGroup(state) || !storeHeaderValue(state, header, *variable)) break;
            continue;
        }
        const HeaderNameVariable* name = group.code == 9 ? dbFindHeaderNameVariable(group.text) : nullptr;
        if (name) {
            if (!rdDxfNextGroup(state)) break;
            session.currentNames.set(name->which, group.text);
        }
        if (!rdDxfNextGroup(state)) break;
    }
    if (!ended) return dbSetError(kErrorDxfHeaderEnd);

    if (header.acadver.starts_with("AC2.1")) header.acadver = "AC1002";
    // A header that names no version is settled like one naming a version the reader does not
    // know (the template's version would make an older file look like R13).
    if (!versionNamed) header.acadver.clear();
    const int version = settleDxfVersion(drawing, session);
    if (version == kVersionAC1012 || version == kVersionAC1014) convertDimUnit(header);
    const std::string& linetype = session.currentNames[HeaderEntryName::Celtype];
    if (dbEqualsNoCase(linetype, "BYLAYER")) session.currentLinetypeIndex = kLinetypeIndexByLayer;
    if (dbEqualsNoCase(linetype, "BYBLOCK")) session.currentLinetypeIndex = kLinetypeIndexByBlock;
    header.angbase = header.angbase / 180.0 * std::numbers::pi;
    return 1;
}

int rdDxfOpen(Drawing& drawing) {
    LoadSession& session = *drawing.load;
    auto owned = std::make_unique<DxfLoadState>();
    DxfLoadState& state = *owned;
    session.format = std::move(owned);
    DxfGroupReader& reader = state.reader;
    reader.sourceFormat = drawing.sourceFormat;
    reader.versionIndex = drawing.versionIndex;
    reader.twoByteCodes = false;
    if (!reader.input.openFile(session.path)) return dbSetError(kErrorDxfOpen);
    state.fileLength = int64_t(reader.input.length());
    state.progressStep = state.progressThreshold = state.fileLength / 20;

    dbSetError(kErrorDxfOpen);
    if (reader.sourceFormat == SourceFormat::BinaryDxf && !rdDxfBeginBinary(reader)) return 0;
    dbInitHeader(*drawing.header);
    drawing.header->handling = 1;
    setDefaultNames(session.currentNames);
    state.index = DxfSectionIndex{};

    DxfGroup& group = state.group();
    bool tablesSeen = false;
    bool inClasses = false;  // the skim below passes over a CLASSES section: its classes are counted
    bool eof = false;
    while (!eof) {
        if (!continueFlagSet()) break;
        if (reader.input.atEnd()) break;
        countGroup(state);
        // To the next section (or the end of the file).
        for (;;) {
            if (!rdDxfSkimGroup(state.reader) || !continueFlagSet()) return 0;
            if (group.code != 0) continue;
            if (group.text == "SECTION" || group.text == "EOF") break;
            if (inClasses && group.text == "CLASS") ++state.index.classCount;
        }
        inClasses = false;
        if (group.text == "EOF") {
            eof = true;
            break;
        }
        const int64_t afterSection = rdDxfTell(state);
        if (!rdDxfNextGroup(state)) return 0;
        if (group.code != 2) {
            rdDxfSeek(state, afterSection);
            continue;
        }
        if (group.text == "HEADER") {
            state.index.headerSeen = true;
            if (!rdDxfReadHeader(drawing, *drawing.header)) return dbSetError(kErrorDxfHeader);
        } else if (group.text == "ENTITIES") {
            if (!scanEntities(drawing, state)) return dbSetError(kErrorDxfEntities);
        } else if (group.text == "TABLES" && !tablesSeen) {
            tablesSeen = true;
            if (!scanTables(drawing, state)) return dbSetError(kErrorDxfTables);
        } else if (group.text == "BLOCKS") {
            if (!scanBlocks(state)) return dbSetError(kErrorDxfBlocks);
        } else if (group.text == "OBJECTS") {
            if (!scanObjects(state)) return dbSetError(kErrorDxfObjects);
        } else if (group.text == "CLASSES") {
            if (state.index.classesStart == 0) state.index.classesStart = rdDxfTell(state);
            inClasses = true;
        }
    }
    if (!eof && continueFlagSet()) return dbSetError(kErrorDxfNoEof);
    // A file without a HEADER section names no version.
    if (!state.index.headerSeen) {
        drawing.header->acadver.clear();
        settleDxfVersion(drawing, session);
    }

    // Read as "AC1009", the file keeps no classes and no objects.
    if (drawing.versionFallback.any()) {
        drawing.versionFallback.classesNotKept = state.index.classCount;
        drawing.versionFallback.objectsNotKept = state.index.objectCount;
    }

    session.handlesEnabled = drawing.header->handling != 0;
    session.visretain = drawing.header->visretain;
    drawing.handleSeed = drawing.header->handseed;
    dbSetError(0);
    if (gSystemContext->dxfScanProgress) gSystemContext->dxfScanProgress(100);
    return continueFlagSet() ? 1 : 0;
}

} // namespace tracemill
