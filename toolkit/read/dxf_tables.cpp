// DXF table records, classes and blocks: one generic record reader driven by the field table
// of each kind, the readers that need more (LTYPE dashes, DIMSTYLE arrow names, BLOCK with its
// BLOCK_RECORD, MLINESTYLE elements, the R12 viewport table, CLASS), and the pieces every
// record reader shares: extended data, reactor and extension-dictionary groups, binary chunks.
#include <cstring>
#include <string>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/hex_text.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_reader.h"
#include "toolkit/read/dxf_table_fields.h"
#include "toolkit/read/raw_xdata.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

constexpr std::string_view kKindNames[] = {"LTYPE",    "LAYER", "STYLE", "VIEW",         "VPORT",      "APPID",
                                           "DIMSTYLE", "UCS",   "BLOCK", "BLOCK_RECORD", "MLINESTYLE", "CLASS"};

std::string_view kindName(DxfRecordKind kind) { return kKindNames[size_t(kind)]; }

std::string upperName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return out;
}

void reportOversize(DxfLoadState& state) {
    if (state.xdataOverflowReported) return;
    state.xdataOverflowReported = true;
    dbNotifyError(kErrorReasonBadLength);
}

// Appends bytes to the record's extended data, or reports that the record's data is full.
bool putXData(DxfLoadState& state, const void* bytes, size_t count) {
    if (state.xdata.size() + count > kMaxRecordXData) {
        reportOversize(state);
        return false;
    }
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    state.xdata.insert(state.xdata.end(), p, p + count);
    return true;
}

// A type byte, a length byte and at most 255 bytes of text: a longer text keeps its first 255
// bytes (its length would not fit the byte).
void putXDataText(DxfLoadState& state, uint8_t type, std::string_view text) {
    if (text.size() > kMaxXDataText) {
        text = text.substr(0, kMaxXDataText);
        dbNotifyError(kErrorReasonBadLength);
    }
    uint8_t head[2] = {type, uint8_t(text.size())};
    if (state.xdata.size() + 2 + text.size() > kMaxRecordXData) {
        reportOversize(state);
        return;
    }
    putXData(state, head, 2);
    putXData(state, text.data(), text.size());
}

void putXDataDouble(std::vector<uint8_t>& out, double value) {
    uint8_t bytes[8];
    putLe64(bytes, doubleBits(value));
    out.insert(out.end(), bytes, bytes + 8);
}

// What a reader's own handling did with a group.
enum Special { kNotTaken = 0, kTaken = 1, kStop = 2 };

// The generic reader of one record of a kind: from its (0, kind) group to the next code 0,
// storing through the field table. `special` sees each group first: kTaken when it took it,
// kStop to end the record before it (the group is given back).
template <class Record, class Special>
int readRecord(Drawing& drawing, DxfLoadState& state, DxfRecordKind kind, std::span<const DxfField<Record>> fields,
               Record& record, uint8_t& hasXData, HandleList* reactors, Special special) {
    DxfGroup& group = state.group();
    state.xdata.clear();
    state.xdataOverflowReported = false;
    for (;;) {
        if (!rdDxfNextGroup(state)) return 0;
        if (group.code != 0) continue;
        if (group.text == kindName(kind)) break;
        if (group.text == "ENDSEC" || group.text == "EOF") return 0;
    }
    int64_t position = rdDxfTell(state);
    for (;;) {
        position = rdDxfTell(state);
        if (!rdDxfNextGroup(state)) return 0;
        if (group.code == 0) break;
        if (group.code >= 1000) {
            rdDxfAddXDataItem(state, drawing);
            hasXData = 1;
            continue;
        }
        if (group.code == 102 && group.text == "{ACAD_REACTORS" && reactors) {
            while (rdDxfNextGroup(state) && group.code != 102 && group.code != 0) reactors->push_back(group.handle);
            if (group.code == 0) break;
            continue;
        }
        const int taken = special(group, position);
        if (taken == kStop || (taken == kTaken && group.code == 0)) break;
        if (taken == kTaken) continue;
        dxfStoreField(fields, record, group);
    }
    rdDxfSeek(state, position);
    return 1;
}

// A table read: the first record after positioning is found by the index; the end of the
// table is marked in the record.
template <class Record>
int readTableRecord(Drawing& drawing, DxfRecordKind kind, std::span<const DxfField<Record>> fields, Record& record,
                    uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    if (state.index.tables[size_t(kind)].count == 0) {
        record.endOfTable = 1;
        return 1;
    }
    const int read =
        readRecord(drawing, state, kind, fields, record, hasXData, &record.reactors,
                   [](const DxfGroup&, int64_t) { return int(kNotTaken); });
    if (!read) {
        // The end of the table (or of the section) is reached; a damaged file that ends here
        // was refused by the open already.
        record.endOfTable = 1;
        return 1;
    }
    rdDxfTakeXData(state, record.xdata);
    return 1;
}

// The BLOCK_RECORD table, read once: the entries by name, matched to the BLOCKs later.
int readBlockRecordTable(Drawing& drawing, DxfLoadState& state) {
    state.blockRecordsRead = true;
    const DxfTableIndex& table = state.index.tables[size_t(DxfRecordKind::BlockRecord)];
    if (table.count == 0) return 1;
    const int64_t restore = rdDxfTell(state);
    rdDxfSeek(state, table.firstRecord);
    DxfGroup& group = state.group();
    for (int32_t i = 0; i < table.count; ++i) {
        DxfBlockRecordEntry entry;
        std::string name;
        state.xdata.clear();
        state.xdataOverflowReported = false;
        for (;;) {
            if (!rdDxfNextGroup(state)) return 0;
            if (rdDxfIs(group, 0, "BLOCK_RECORD")) break;
            if (rdDxfIs(group, 0, "ENDTAB") || rdDxfIs(group, 0, "ENDSEC")) i = table.count;
            if (i == table.count) break;
        }
        if (i == table.count) break;
        int64_t position = rdDxfTell(state);
        for (;;) {
            position = rdDxfTell(state);
            if (!rdDxfNextGroup(state)) return 0;
            if (group.code == 0) break;
            switch (group.code) {
            case 2: name = group.text; break;
            case 5: entry.handle = group.handle; break;
            case 102:
                if (!rdDxfReadOwnerGroups(state, entry.reactors, entry.extensionDictionary)) return 0;
                break;
            case 310:
                rdDxfSeek(state, position);
                if (!rdDxfReadBinaryChunks(state, entry.preview)) return 0;
                break;
            case 330: entry.owner = group.handle; break;
            case 340: entry.layout = group.handle; break;
            case 360: entry.extensionDictionary = group.handle; break;
            default:
                if (group.code >= 1000) rdDxfAddXDataItem(state, drawing);
                break;
            }
        }
        rdDxfSeek(state, position);
        rdDxfTakeXData(state, entry.xdata);
        state.blockRecords.emplace(upperName(name), std::move(entry));
    }
    rdDxfSeek(state, restore);
    return 1;
}

} // namespace

DxfLoadState& dxfState(Drawing& drawing) { return static_cast<DxfLoadState&>(*drawing.load->format); }

void rdDxfAddXDataItem(DxfLoadState& state, Drawing& drawing) {
    DxfGroup& group = state.group();
    const uint16_t code = group.code;
    const uint8_t type = uint8_t(code - 1000);
    switch (code) {
    case 1000:
    case 1001:
    case 1003:
        putXDataText(state, type, group.text);
        return;
    case 1002: {
        const uint8_t bytes[2] = {type, uint8_t(group.text.starts_with("{") ? 0 : 1)};
        putXData(state, bytes, 2);
        return;
    }
    case 1004:
        if (drawing.sourceFormat == SourceFormat::BinaryDxf) {
            putXDataText(state, type, std::string_view(group.text).substr(0, size_t(std::max<int16_t>(group.byteCount, 0))));
        } else {
            const std::vector<uint8_t> bytes = dbHexToBytes(group.text);
            putXDataText(state, type, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        return;
    case 1005: {
        uint8_t bytes[9] = {type};
        group.handle.toBigEndian(bytes + 1);
        putXData(state, bytes, 9);
        return;
    }
    case 1010:
    case 1011:
    case 1012:
    case 1013: {
        // x from this group, y and z from the next two, whatever their codes.
        std::vector<uint8_t> bytes{type};
        putXDataDouble(bytes, group.real);
        for (int i = 0; i < 2; ++i) {
            const double value = rdDxfNextGroup(state) ? group.real : 0.0;
            putXDataDouble(bytes, value);
        }
        putXData(state, bytes.data(), bytes.size());
        return;
    }
    case 1040:
    case 1041:
    case 1042: {
        std::vector<uint8_t> bytes{type};
        putXDataDouble(bytes, group.real);
        putXData(state, bytes.data(), bytes.size());
        return;
    }
    case 1070: {
        uint8_t bytes[3] = {type};
        putLe16(bytes + 1, uint16_t(group.shortValue));
        putXData(state, bytes, 3);
        return;
    }
    case 1071: {
        uint8_t bytes[5] = {type};
        putLe32(bytes + 1, uint32_t(group.longValue));
        putXData(state, bytes, 5);
        return;
    }
    default:
        return;  // no item of the extended data has that code
    }
}

bool rdDxfTakeXData(DxfLoadState& state, OwnedStream& xdata) {
    if (state.xdata.empty()) return false;
    if (!xdata.create(4096)) return false;
    xdata.get()->bytes = std::move(state.xdata);
    state.xdata.clear();
    return true;
}

int rdDxfReadOwnerGroups(DxfLoadState& state, HandleList& reactors, Handle& extensionDictionary) {
    DxfGroup& group = state.group();
    int64_t position = rdDxfTell(state);
    while (group.code == 102) {
        if (group.text == "{ACAD_REACTORS") {
            while (rdDxfNextGroup(state) && group.code != 102 && group.code != 0) reactors.push_back(group.handle);
        } else if (group.text == "{ACAD_XDICTIONARY") {
            if (!rdDxfNextGroup(state)) return 0;
            if (group.code != 0 && group.code != 102) {
                extensionDictionary = group.handle;
                if (!rdDxfNextGroup(state)) return 0;
            }
        } else if (group.text.starts_with("{")) {
            // An application's group block: passed over to its end.
            while (rdDxfNextGroup(state) && group.code != 102 && group.code != 0) {}
        }
        if (group.code == 0) {
            rdDxfSeek(state, position);
            return 1;
        }
        position = rdDxfTell(state);
        if (!rdDxfNextGroup(state)) return 0;
    }
    rdDxfSeek(state, position);
    return 1;
}

int rdDxfNextRecordGroup(DxfLoadState& state, Drawing& drawing, uint8_t& hasXData, int64_t& position) {
    for (;;) {
        position = rdDxfTell(state);
        if (!rdDxfNextGroup(state)) return 0;
        if (state.group().code < 1000) return 1;
        rdDxfAddXDataItem(state, drawing);
        hasXData = 1;
    }
}

int rdDxfReadBinaryChunks(DxfLoadState& state, OwnedStream& out) {
    DxfGroup& group = state.group();
    std::vector<uint8_t> bytes;
    int64_t position = rdDxfTell(state);
    while (rdDxfNextGroup(state) && group.code == 310) {
        const std::vector<uint8_t> chunk = dbHexToBytes(group.text);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        position = rdDxfTell(state);
    }
    rdDxfSeek(state, position);
    if (!out.create(4096)) return 0;
    out.get()->bytes = std::move(bytes);
    return 1;
}

int rdDxfReadLayer(Drawing& drawing, LayerRecord& record, LinetypeReference& linetype, uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    linetype = LinetypeReference{};
    record.plotFlag = 1;  // a layer without 290 is plotted
    if (state.index.tables[size_t(DxfRecordKind::Layer)].count == 0) {
        record.endOfTable = 1;
        return 1;
    }
    const int read = readRecord(drawing, state, DxfRecordKind::Layer, dxfLayerFields(), record, hasXData,
                                &record.reactors, [&](const DxfGroup& group, int64_t) {
                                    if (group.code != 6) return int(kNotTaken);
                                    linetype.name = group.text;
                                    return int(kTaken);
                                });
    if (!read) {
        record.endOfTable = 1;
        return 1;
    }
    rdDxfTakeXData(state, record.xdata);
    return 1;
}

int rdDxfReadStyle(Drawing& drawing, StyleRecord& record, uint8_t& hasXData) {
    return readTableRecord(drawing, DxfRecordKind::Style, dxfStyleFields(), record, hasXData);
}
int rdDxfReadView(Drawing& drawing, ViewRecord& record, uint8_t& hasXData) {
    return readTableRecord(drawing, DxfRecordKind::View, dxfViewFields(), record, hasXData);
}
int rdDxfReadVport(Drawing& drawing, VportRecord& record, uint8_t& hasXData) {
    return readTableRecord(drawing, DxfRecordKind::Vport, dxfVportFields(), record, hasXData);
}
int rdDxfReadUcs(Drawing& drawing, UcsRecord& record, uint8_t& hasXData) {
    return readTableRecord(drawing, DxfRecordKind::Ucs, dxfUcsFields(), record, hasXData);
}
int rdDxfReadAppId(Drawing& drawing, AppIdRecord& record, uint8_t& hasXData) {
    return readTableRecord(drawing, DxfRecordKind::AppId, dxfAppIdFields(), record, hasXData);
}

int rdDxfReadDimStyle(Drawing& drawing, DimStyleRecord& record, uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    if (state.index.tables[size_t(DxfRecordKind::DimStyle)].count == 0) {
        record.endOfTable = 1;
        return 1;
    }
    // Values that files leave out when they have their usual value.
    record.dimdsep = '.';
    record.dimlwd = kLineweightByBlock;
    record.dimlwe = kLineweightByBlock;
    // The arrow blocks 5, 6 and 7 are named; the blocks are read by now. A name without a
    // block waits for the fix-up after the load, which builds the standard arrowheads; the
    // table pass gives the waiting names the handle the record is stored under.
    const int read = readRecord(drawing, state, DxfRecordKind::DimStyle, dxfDimStyleFields(), record, hasXData,
                                &record.reactors, [&](const DxfGroup& group, int64_t) {
                                    if (group.code < 5 || group.code > 7) return int(kNotTaken);
                                    Handle block;
                                    if (!group.text.empty()) dbBlockFindByName(&drawing, group.text, block);
                                    Handle& field = group.code == 5   ? record.dimblk
                                                    : group.code == 6 ? record.dimblk1
                                                                      : record.dimblk2;
                                    if (!block.isNull()) {
                                        field = block;
                                    } else if (!group.text.empty() && gSystemContext->arrowBlocks) {
                                        drawing.deferredArrowheads.push_back(
                                            {record.handle, ArrowheadField(group.code), group.text});
                                    }
                                    return int(kTaken);
                                });
    if (!read) {
        record.endOfTable = 1;
        return 1;
    }
    rdDxfTakeXData(state, record.xdata);
    return 1;
}

int rdDxfReadLtype(Drawing& drawing, LinetypeRecord& record, uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    if (state.index.tables[size_t(DxfRecordKind::Ltype)].count == 0) {
        record.endOfTable = 1;
        return 1;
    }
    // The dash elements: 49 starts the next one; a text (9) goes into the record's text area.
    // Beyond 15 dashes or 256 bytes of text the excess is reported and dropped.
    int dash = -1;
    bool dropping = false;
    bool reported = false;
    std::string& area = record.textArea;
    if (drawing.versionIndex == kVersionAC1012) area.assign(1, '\0');
    auto excess = [&] {
        if (!reported) dbNotifyError(kErrorReasonBadLength);
        reported = true;
    };
    const int read = readRecord(
        drawing, state, DxfRecordKind::Ltype, dxfLinetypeFields(), record, hasXData, &record.reactors,
        [&](const DxfGroup& group, int64_t) {
            if (group.code == 49) {
                dropping = dash + 1 >= kMaxLinetypeDashes;
                if (dropping) {
                    excess();
                    return int(kTaken);
                }
                ++dash;
                record.dashes[size_t(dash)].length = group.real;
                record.dashes[size_t(dash)].complexFlags = 0;
                return int(kTaken);
            }
            const bool element = group.code == 74 || group.code == 75 || group.code == 46 || group.code == 50 ||
                                 group.code == 44 || group.code == 45 || group.code == 340 || group.code == 9;
            if (!element) return int(kNotTaken);
            if (dash < 0 || dropping) return int(kTaken);
            LinetypeDash& d = record.dashes[size_t(dash)];
            switch (group.code) {
            case 74: d.complexFlags = group.shortValue; break;
            case 75: d.shapeNumber = group.shortValue; break;
            case 46: d.scale = group.real; break;
            case 50: d.rotation = dxfAngle(group); break;
            case 44: d.offset.x = group.real; break;
            case 45: d.offset.y = group.real; break;
            case 340: d.style = group.handle; break;
            default:
                if (area.size() + group.text.size() + 1 > kLinetypeTextAreaSize) {
                    excess();
                    break;
                }
                d.textPosition = uint16_t(area.size());
                area.append(group.text);
                area.push_back('\0');
                break;
            }
            return int(kTaken);
        });
    if (!read) {
        record.endOfTable = 1;
        return 1;
    }
    if (dash + 1 > record.dashCount) record.dashCount = int16_t(dash + 1);
    if (record.dashCount > kMaxLinetypeDashes) record.dashCount = kMaxLinetypeDashes;
    if (record.dashCount < 0) record.dashCount = 0;
    rdDxfTakeXData(state, record.xdata);
    return 1;
}

int rdDxfReadBlock(Drawing& drawing, BlockRecord& record, uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    if (drawing.versionIndex >= kVersionAC1012 && !state.blockRecordsRead && !readBlockRecordTable(drawing, state)) {
        return 0;
    }
    if (state.nextBlock >= state.index.blocks.size()) {
        record.endOfTable = 1;
        return 1;
    }
    const int64_t position = state.index.blocks[state.nextBlock++];
    rdDxfSeek(state, position);
    uint8_t xrefFlags = 0;
    const int read = readRecord(drawing, state, DxfRecordKind::Block, dxfBlockFields(), record, hasXData, nullptr,
                                [&](const DxfGroup& group, int64_t) {
                                    if (group.code == 71) xrefFlags = dxfByte(group);
                                    if (group.code == 102) {
                                        HandleList reactors;
                                        Handle dictionary;
                                        rdDxfReadOwnerGroups(state, reactors, dictionary);
                                        return int(kTaken);
                                    }
                                    return group.code == 71 || group.code == 3 ? int(kTaken) : int(kNotTaken);
                                });
    if (!read) return 0;
    if (drawing.versionIndex > kVersionAC1012 && (record.flags & kBlockOverlay)) record.overlay = 1;
    record.xrefState = (record.flags & kBlockExternalReference) && !(xrefFlags & 1) ? 0 : 255;
    rdDxfTakeXData(state, record.xdata);

    // The block record of the BLOCK_RECORD table names the block from R13 on.
    record.blockEntity = record.handle;
    auto found = state.blockRecords.find(upperName(record.name));
    if (found != state.blockRecords.end()) {
        DxfBlockRecordEntry& entry = found->second;
        record.handle = entry.handle;
        if (!entry.owner.isNull()) record.owner = entry.owner;
        record.layout = entry.layout;
        record.extensionDictionary = entry.extensionDictionary;
        record.reactors = std::move(entry.reactors);
        record.preview = std::move(entry.preview);
        if (entry.xdata) {
            record.xdata = std::move(entry.xdata);
            hasXData = 1;
        }
        state.blockRecords.erase(found);
    }
    if (record.handle.isNull() || record.handle == record.blockEntity) record.blockEntity = Handle();
    state.blockOffsets[upperName(record.name)] = position;
    return 1;
}

int rdDxfReadClass(Drawing& drawing, ClassEntry& entry) {
    DxfLoadState& state = dxfState(drawing);
    if (state.index.classesStart == 0) return 0;
    uint8_t hasXData = 0;
    entry.itemClassId = 0;
    if (!readRecord(drawing, state, DxfRecordKind::Class, dxfClassFields(), entry, hasXData, nullptr,
                    [](const DxfGroup&, int64_t) { return int(kNotTaken); })) {
        return 0;
    }
    entry.itemClassId = entry.itemClassId > 0 ? kClassOfEntities : kClassOfObjects;
    state.xdata.clear();
    return 1;
}

int rdDxfReadMlineStyle(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    DxfLoadState& state = dxfState(drawing);
    DxfGroup& group = state.group();
    state.xdata.clear();
    object.header.type = kObjectMlineStyle;
    dbInitObject(&drawing, object);
    MlineStyleBody& style = object.bodyAs<MlineStyleBody>();
    ObjectHeader& header = object.header;
    int64_t position = 0;
    const int read = readRecord(drawing, state, DxfRecordKind::MlineStyle, dxfMlineStyleFields(), style, hasXData,
                                &header.reactors, [&](const DxfGroup& g, int64_t) {
                                    switch (g.code) {
                                    case 5: header.handle = g.handle; return int(kTaken);
                                    case 330: header.owner = g.handle; return int(kTaken);
                                    case 360: header.extensionDictionary = g.handle; return int(kTaken);
                                    case 49: return int(kStop);
                                    default: return int(kNotTaken);
                                    }
                                });
    if (!read) return 0;
    // The elements follow: each a 49 offset, a 62 colour and a 6 linetype name, as many as the
    // file has before the next code 0.
    for (;;) {
        MlineStyleElement element;
        element.linetypeIndex = kMlineLinetypeByLayer;
        bool complete = true;
        for (int i = 0; i < 3 && complete; ++i) {
            if (!rdDxfNextRecordGroup(state, drawing, hasXData, position)) return 0;
            switch (group.code) {
            case 49: element.offset = group.real; break;
            case 62: element.colour = group.shortValue; break;
            case 6:
                if (dbEqualsNoCase(group.text, "BYLAYER")) {
                    element.linetypeIndex = kMlineLinetypeByLayer;
                } else if (dbEqualsNoCase(group.text, "BYBLOCK")) {
                    element.linetypeIndex = kMlineLinetypeByBlock;
                } else {
                    int16_t index = 0;
                    for (const auto& node : drawing.linetypes) {
                        if (dbEqualsNoCase(node.record.name, group.text)) {
                            element.linetypeIndex = index;
                            break;
                        }
                        ++index;
                    }
                }
                break;
            default: complete = false; break;
            }
        }
        if (!complete) {
            rdDxfSeek(state, position);
            break;
        }
        style.elements.push_back(element);
    }
    // Anything after the elements up to the next object, extended data included.
    while (rdDxfNextRecordGroup(state, drawing, hasXData, position) && group.code != 0) {}
    rdDxfSeek(state, position);
    rdDxfTakeXData(state, header.xdata);
    return 1;
}

int rdDxfReadViewportEntity(Drawing& drawing, ViewportEntityHeaderRecord& record) {
    DxfLoadState& state = dxfState(drawing);
    DxfGroup& group = state.group();
    if (state.nextViewport >= state.index.viewports.size()) {
        record.endOfTable = 1;
        return 1;
    }
    rdDxfSeek(state, state.index.viewports[state.nextViewport++]);
    record.status = 0;
    record.id = -1;
    record.name.clear();
    record.on = 1;
    if (!rdDxfNextGroup(state) || !rdDxfIs(group, 0, "VIEWPORT")) {
        record.endOfTable = 1;
        return 1;
    }
    int64_t position = rdDxfTell(state);
    while (rdDxfNextGroup(state) && group.code != 0) {
        if (group.code == 68) record.status = group.shortValue;
        if (group.code == 2) record.name = group.text;
        position = rdDxfTell(state);
    }
    if (record.status == 0) record.on = 0;
    rdDxfSeek(state, position);
    return 1;
}

} // namespace tracemill
