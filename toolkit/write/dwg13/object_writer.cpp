#include "toolkit/write/dwg13/object_writer.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/write/dwg13/object_framing.h"
#include "toolkit/write/dwg13/record_writer.h"
#include "toolkit/write/dwg13/text_output.h"
#include "toolkit/write/dwg13/xrecord_encoder.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {
namespace {

// The version of proxy objects of 2000 files whose stored version is 0.
constexpr int32_t kProxyObjectVersion = 0x60017;

// The entries the named object dictionary of a file before 2000 leaves out.
constexpr std::array<std::string_view, 4> kEntriesOf2000 = {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS",
                                                             "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"};

bool before2000(const OutputContext& output) { return output.versionIndex < kVersionAC1015; }

// The object as it is written: its header with the extension dictionary noted for its handle.
ObjectRecord writtenCopy(const OutputContext& output, const ObjectRecord& object) {
    ObjectRecord copy = object;
    copy.header.extensionDictionary = wrLookupXdictLink(output, object.header.handle);
    return copy;
}

template <class Layout>
int objectRecord(OutputContext& output, uint16_t type, ObjectRecord& object, const OwnedStream* xdata, Layout layout) {
    ObjectHeader& h = object.header;
    const uint32_t reactors = uint32_t(h.reactors.size());
    return wrDwgObjectRecord(output, type, h.handle, xdata, reactors,
                             [&](Dwg13FieldWriter& io) { layout(io, h, reactors); });
}

// A proxy wrapper of an object of another version: the type it kept, when its version code is
// the save's version. The wrapper carries them in its "ACAD" extended data after the text
// "AcadProxyRoundTripData": a 1071 with the type, a 1071 with the version code.
bool preservedType(const Drawing& drawing, const OutputContext& output, const ObjectRecord& object, uint16_t& type) {
    const uint16_t wrapper = drawing.classes.proxyObjectWrapperNumber;
    if (wrapper == 0 || object.header.type != wrapper || !object.header.xdata) return false;
    Handle acad;
    if (!dbFindAppIdHandle(const_cast<Drawing*>(&drawing), "ACAD", acad)) return false;
    OpenStream* in = dbStreamOpenRead(object.header.xdata.get());
    if (!in) return false;
    XDataItem item;
    bool inAcad = false;
    bool marked = false;
    int values = 0;
    int32_t kept[2] = {0, 0};
    while (values < 2 && dbReadXDataItem(in, item)) {
        if (item.code == 1001) {
            inAcad = item.handle == acad;
            continue;
        }
        if (!inAcad) continue;
        if (!marked) {
            marked = item.code == 1000 && item.text == "AcadProxyRoundTripData";
        } else if (item.code == 1071) {
            kept[values++] = item.int32;
        }
    }
    dbStreamCloseRead(in);
    if (values < 2 || wrDwgVersionFromCode(kept[1]) != output.versionIndex) return false;
    type = uint16_t(kept[0]);
    return true;
}

int proxyObject(const Drawing& drawing, OutputContext& output, ObjectRecord& object) {
    ProxyObjectBody& b = object.bodyAs<ProxyObjectBody>();
    ObjectHeader& h = object.header;
    uint16_t type = b.classNumber != 0 ? b.classNumber : kObjectOfClassData;
    const OwnedStream* xdata = &h.xdata;
    uint16_t kept = 0;
    if (preservedType(drawing, output, object, kept)) {
        type = kept;
        xdata = nullptr;
    }
    const bool generic = type == kObjectOfClassData;
    // A generic proxy of a file before 2000 has no object version: the 2000 record gets the
    // writer's, for this save only.
    const int32_t ownVersion = b.version;
    if (generic && b.version == 0) b.version = kProxyObjectVersion;
    const int result = objectRecord(output, type, object, xdata, [&](auto& io, ObjectHeader& hh, uint32_t n) {
        dwg13ProxyObject(io, hh, b, generic, n);
    });
    b.version = ownVersion;
    return result;
}

// A class-based object of a kind the toolkit knows: 1 written, 0 failed, -1 an object of no
// such kind (or whose body is not its kind's), which is passed over.
int classObject(const Drawing& drawing, OutputContext& output, ObjectRecord& object) {
    ObjectHeader& h = object.header;
    ClassKind kind;
    if (!dbClassKindByNumber(drawing.classes, h.type, kind)) return -1;
    if (kind == ClassKind::Xrecord) {
        XrecordBody* b = object.body.getIf<XrecordBody>();
        if (!b) return -1;
        const uint8_t codePageByte = output.versionIndex <= kVersionAC1012 ? 0 : uint8_t(output.header.dwgcodepage);
        std::vector<uint8_t> data = wrDwg13XrecordData(b->data, codePageByte);
        const uint16_t type = before2000(output) ? h.type : kDwgTypeXrecord;
        return objectRecord(output, type, object, &h.xdata,
                            [&](auto& io, ObjectHeader& hh, uint32_t n) { dwg13XrecordObject(io, hh, *b, data, n); });
    }
    if (!dwg13ClassObjectHolds(kind, object.body)) return -1;
    return objectRecord(output, h.type, object, &h.xdata, [&](auto& io, ObjectHeader& hh, uint32_t n) {
        dwg13ClassObject(io, kind, hh, object.body, n);
    });
}

} // namespace

int wrDwgVersionFromCode(int32_t code) {
    if (code <= 8) return 0;
    switch (code) {
    case 9: return 3;
    case 10: return 1;
    case 11: return 2;
    case 12:
    case 13: return 3;
    default: break;
    }
    if (code <= 16) return 4;
    if (code <= 19) return 5;
    if (code <= 21) return 6;
    return 7;
}

int wrDwgDictionaryR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& source) {
    ObjectRecord object = writtenCopy(output, source);
    DictionaryBody& b = object.bodyAs<DictionaryBody>();
    ObjectHeader& h = object.header;
    if (before2000(output)) {
        if (h.handle == drawing.handles.namedObjectDictionary) {
            std::erase_if(b.entries, [](const DictionaryEntry& e) {
                return std::any_of(kEntriesOf2000.begin(), kEntriesOf2000.end(),
                                   [&](std::string_view name) { return dbEqualsNoCase(e.name, name); });
            });
        }
        for (DictionaryEntry& entry : b.entries) dbUpperCaseCp(entry.name, output.header.dwgcodepage);
    }
    if (h.owner.isNull() && std::any_of(b.entries.begin(), b.entries.end(),
                                        [](const DictionaryEntry& e) { return e.name == "ACAD_BLKREFS"; })) {
        for (const BlockNode& block : drawing.blocks) {
            if (block.record.extensionDictionary == h.handle) {
                h.owner = block.record.handle;
                break;
            }
        }
    }
    return objectRecord(output, kDwgTypeDictionary, object, &source.header.xdata,
                        [&](auto& io, ObjectHeader& hh, uint32_t n) { dwg13DictionaryObject(io, hh, b, n); });
}

std::unordered_set<uint64_t> wrDwgObjectsOf2000(const Drawing& drawing) {
    std::unordered_set<uint64_t> out;
    const Handle root = drawing.handles.namedObjectDictionary;
    const ObjectNode* node = root.isNull() ? nullptr : dbLookupNode(drawing, drawing.objects, root);
    const auto* body = node ? node->record.body.getIf<DictionaryBody>() : nullptr;
    if (!body) return out;
    for (const DictionaryEntry& entry : body->entries) {
        const bool of2000 = std::any_of(kEntriesOf2000.begin(), kEntriesOf2000.end(),
                                        [&](std::string_view name) { return dbEqualsNoCase(entry.name, name); });
        if (of2000 && !entry.handle.isNull() && entry.handle != root) out.insert(entry.handle.value);
    }
    // What they own, level by level: each pass adds the objects whose owner was added; a pass
    // that adds nothing ends it (an ownership cycle of a damaged file ends too).
    for (bool added = !out.empty(); added;) {
        added = false;
        for (const ObjectNode& object : drawing.objects) {
            const ObjectHeader& h = object.record.header;
            if (h.handle == root || h.owner.isNull() || !out.count(h.owner.value)) continue;
            added |= out.insert(h.handle.value).second;
        }
    }
    return out;
}

int wrDwgMlineStyleR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& source) {
    ObjectRecord object = writtenCopy(output, source);
    MlineStyleBody& b = object.bodyAs<MlineStyleBody>();
    b.name = wrDwgSymbolName(drawing, output, b.name, wrSymbolNameLimit(), 0);
    return objectRecord(output, kDwgTypeMlineStyle, object, &source.header.xdata,
                        [&](auto& io, ObjectHeader& hh, uint32_t n) { dwg13MlineStyleObject(io, hh, b, n); });
}

int wrDwgGroupR13(const Drawing&, OutputContext& output, const ObjectRecord& source) {
    ObjectRecord object = writtenCopy(output, source);
    GroupBody& b = object.bodyAs<GroupBody>();
    return objectRecord(output, kDwgTypeGroup, object, &source.header.xdata,
                        [&](auto& io, ObjectHeader& hh, uint32_t n) { dwg13GroupObject(io, hh, b, n); });
}

int wrDwgObjectR13(const Drawing& drawing, OutputContext& output, const ObjectRecord& source) {
    switch (source.header.type) {
    case kObjectDictionary:
        if (source.body.holds<DictionaryBody>()) return wrDwgDictionaryR13(drawing, output, source);
        break;
    case kObjectMlineStyle:
        if (source.body.holds<MlineStyleBody>()) return wrDwgMlineStyleR13(drawing, output, source);
        break;
    case kObjectGroup:
        if (source.body.holds<GroupBody>()) return wrDwgGroupR13(drawing, output, source);
        break;
    default:
        break;
    }
    ObjectRecord object = writtenCopy(output, source);
    if (object.body.holds<ProxyObjectBody>()) return proxyObject(drawing, output, object);
    // An object of no kind the format has a place for (damaged input) is passed over.
    return classObject(drawing, output, object) != 0 ? 1 : 0;
}

} // namespace tracemill
