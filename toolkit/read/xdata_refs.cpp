#include "toolkit/read/xdata_refs.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/load_session.h"

namespace tracemill {
namespace {

XDataItem storedItem(const RawXDataItem& raw, LoadSession& session, RawXDataForm form) {
    XDataItem item;
    item.code = raw.code;
    switch (raw.code) {
    case 1000:
        item.text = raw.text;
        break;
    case 1004:
        item.binary.assign(raw.text.begin(), raw.text.end());
        item.length = uint16_t(item.binary.size());
        break;
    case 1001:
    case 1003: {
        PendingXDataRef ref;
        ref.kind = raw.code == 1001 ? PendingXDataRef::Application : PendingXDataRef::Layer;
        if (form == RawXDataForm::Dxf) ref.name = raw.text;
        else if (form == RawXDataForm::DwgR12) ref.index = raw.index;
        else ref.handle = raw.handle;
        item.handle = Handle(session.pendingXDataRefs.size());
        session.pendingXDataRefs.push_back(std::move(ref));
        break;
    }
    case 1002:
        item.brace = raw.open ? 0 : 1;
        break;
    case 1005:
        item.handle = raw.handle;
        break;
    case 1010:
    case 1011:
    case 1012:
    case 1013:
        item.point = raw.point;
        break;
    case 1040:
    case 1041:
    case 1042:
        item.real = raw.real;
        break;
    case 1070:
        item.int16 = raw.shortValue;
        break;
    case 1071:
        item.int32 = raw.longValue;
        break;
    default:
        break;
    }
    return item;
}

// Finds table records by name (without case), by position and by handle, each table read once.
template <class List>
class TableLookup {
public:
    explicit TableLookup(const List& list) : list_(list) {}

    Handle byName(const std::string& name) {
        if (!built_) build();
        auto found = byName_.find(upper(name));
        return found == byName_.end() ? Handle() : found->second;
    }
    Handle byIndex(int32_t index) {
        if (!built_) build();
        return index >= 0 && size_t(index) < ordered_.size() ? ordered_[size_t(index)] : Handle();
    }
    Handle byHandle(const Drawing& drawing, Handle handle) {
        return dbLookupNode(drawing, list_, handle) ? handle : Handle();
    }

private:
    static std::string upper(std::string_view name) {
        std::string out(name);
        for (char& c : out) {
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        }
        return out;
    }
    void build() {
        built_ = true;
        for (const auto& node : list_) {
            ordered_.push_back(node.record.handle);
            byName_.emplace(upper(node.record.name), node.record.handle);  // the first of a name wins
        }
    }

    const List& list_;
    bool built_ = false;
    std::vector<Handle> ordered_;
    std::unordered_map<std::string, Handle> byName_;
};

class XDataResolver {
public:
    explicit XDataResolver(Drawing& drawing)
        : drawing_(drawing), session_(*drawing.load), appIds_(drawing.appIds), layers_(drawing.layers) {
        resolved_.resize(session_.pendingXDataRefs.size());
        done_.resize(session_.pendingXDataRefs.size());
    }

    // Gives every 1001 and 1003 item of the stream the handle its queue entry resolves to.
    void patch(OwnedStream& xdata) {
        if (!xdata) return;
        std::vector<XDataItem> items;
        OpenStream* in = dbStreamOpenRead(xdata.get());
        if (!in) return;
        XDataItem item;
        bool references = false;
        while (dbReadXDataItem(in, item)) {
            if (item.code == 1001 || item.code == 1003) {
                item.handle = resolve(item.handle);
                references = true;
            }
            items.push_back(std::move(item));
        }
        dbStreamCloseRead(in);
        if (!references) return;
        OpenStream* out = dbStreamOpenWrite(xdata.get());
        if (!out) return;
        for (const XDataItem& stored : items) dbWriteXDataItem(out, stored);
        dbStreamCloseWrite(out);
    }

private:
    Handle resolve(Handle value) {
        if (value.value >= resolved_.size()) return Handle();
        const size_t i = size_t(value.value);
        if (!done_[i]) {
            done_[i] = true;
            resolved_[i] = lookup(session_.pendingXDataRefs[i]);
        }
        return resolved_[i];
    }
    Handle lookup(const PendingXDataRef& ref) {
        const bool application = ref.kind == PendingXDataRef::Application;
        if (!ref.name.empty() || (ref.index < 0 && ref.handle.isNull())) {
            return application ? appIds_.byName(ref.name) : layers_.byName(ref.name);
        }
        if (ref.index >= 0) return application ? appIds_.byIndex(ref.index) : layers_.byIndex(ref.index);
        return application ? appIds_.byHandle(drawing_, ref.handle) : layers_.byHandle(drawing_, ref.handle);
    }

    Drawing& drawing_;
    LoadSession& session_;
    TableLookup<AppIdList> appIds_;
    TableLookup<LayerList> layers_;
    std::vector<Handle> resolved_;
    std::vector<bool> done_;
};

template <class List>
void patchTable(XDataResolver& resolver, List& list) {
    for (auto& node : list) resolver.patch(node.record.xdata);
}

} // namespace

int rdConvertXDataRefs(Drawing& drawing, RawXDataForm form, OwnedStream& xdata) {
    LoadSession* session = drawing.load;
    if (!session || !xdata) return 1;
    std::vector<uint8_t> raw = std::move(xdata.get()->bytes);
    xdata.get()->bytes.clear();
    RawXDataReader reader(form, raw);
    RawXDataItem item;
    OpenStream* out = dbStreamOpenWrite(xdata.get());
    if (!out) {
        xdata.reset();
        return 0;
    }
    int ok = 1;
    while (ok && reader.next(item)) ok = dbWriteXDataItem(out, storedItem(item, *session, form));
    dbStreamCloseWrite(out);
    if (!ok) xdata.reset();
    return ok;
}

int rdApplyXDataRefs(Drawing& drawing) {
    if (!drawing.load || drawing.load->pendingXDataRefs.empty()) return 1;
    XDataResolver resolver(drawing);
    patchTable(resolver, drawing.layers);
    patchTable(resolver, drawing.linetypes);
    patchTable(resolver, drawing.ucss);
    patchTable(resolver, drawing.views);
    patchTable(resolver, drawing.vports);
    patchTable(resolver, drawing.dimStyles);
    patchTable(resolver, drawing.appIds);
    patchTable(resolver, drawing.styles);
    for (BlockNode& block : drawing.blocks) {
        resolver.patch(block.record.xdata);
        if (!block.entityList) continue;
        for (EntityNode& entity : *block.entityList) resolver.patch(entity.record.header.xdata);
    }
    for (ObjectNode& object : drawing.objects) resolver.patch(object.record.header.xdata);
    drawing.load->pendingXDataRefs.clear();
    return 1;
}

} // namespace tracemill
