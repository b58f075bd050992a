// A format driver for tests: it hands out the records a test gives it, table by table, and
// notes every call, so that the load passes can be driven without a file.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/format_driver.h"

namespace tracemill::test {

class FakeFormatDriver : public FormatDriver {
public:
    template <class Record>
    struct Table {
        std::deque<Record> records;
        int failAtRead = -1; // the read with this number (from 0) fails
        int reads = 0;
        std::vector<uint8_t> xdata; // which reads report extended data (by read number)
    };

    Table<LinetypeRecord> linetypes;
    Table<LayerRecord> layers;
    std::deque<LinetypeReference> layerLinetypes; // given with each layer read, when present
    Table<VportRecord> vports;
    Table<UcsRecord> ucss;
    Table<AppIdRecord> appIds;
    Table<ViewRecord> views;
    Table<StyleRecord> styles;
    Table<DimStyleRecord> dimStyles;
    std::deque<ClassEntry> classes;
    std::deque<ObjectRecord> objects; // nextObjectCode reports their types, then 0
    std::deque<EntityRangePosition> positions;
    int attachFailsAt = -1; // the attachment with this number fails
    int attachments = 0;

    std::vector<std::string> calls;

    int openHeader(Drawing&) override { return note("openHeader"); }

    int seekLinetypes(Drawing&) override { return note("seekLinetypes"); }
    int readLinetype(Drawing&, LinetypeRecord& r, uint8_t& x) override { return next(linetypes, r, x, "readLinetype"); }
    int seekLayers(Drawing&) override { return note("seekLayers"); }
    int readLayer(Drawing&, LayerRecord& r, LinetypeReference& linetype, uint8_t& x) override {
        if (!layerLinetypes.empty() && !layers.records.empty()) {
            linetype = layerLinetypes.front();
            layerLinetypes.pop_front();
        }
        return next(layers, r, x, "readLayer");
    }
    int seekClasses(Drawing&) override { return note("seekClasses"); }
    int readClass(Drawing&, ClassEntry& entry) override {
        note("readClass");
        if (classes.empty()) return 0;
        entry = classes.front();
        classes.pop_front();
        return 1;
    }
    int seekVports(Drawing&) override { return note("seekVports"); }
    int readVport(Drawing&, VportRecord& r, uint8_t& x) override { return next(vports, r, x, "readVport"); }
    int seekUcss(Drawing&) override { return note("seekUcss"); }
    int readUcs(Drawing&, UcsRecord& r, uint8_t& x) override { return next(ucss, r, x, "readUcs"); }
    int seekAppIds(Drawing&) override { return note("seekAppIds"); }
    int readAppId(Drawing&, AppIdRecord& r, uint8_t& x) override { return next(appIds, r, x, "readAppId"); }
    int seekViews(Drawing&) override { return note("seekViews"); }
    int readView(Drawing&, ViewRecord& r, uint8_t& x) override { return next(views, r, x, "readView"); }
    int seekStyles(Drawing&) override { return note("seekStyles"); }
    int readStyle(Drawing&, StyleRecord& r, uint8_t& x) override { return next(styles, r, x, "readStyle"); }
    int seekBlockRecords(Drawing&) override { return note("seekBlockRecords"); }
    int readBlockRecord(Drawing&, BlockRecord&, uint8_t&) override { return note("readBlockRecord"); }
    int seekDimStyles(Drawing&) override { return note("seekDimStyles"); }
    int readDimStyle(Drawing&, DimStyleRecord& r, uint8_t& x) override {
        return next(dimStyles, r, x, "readDimStyle");
    }
    int seekViewportEntities(Drawing&) override { return note("seekViewportEntities"); }
    int readViewportEntity(Drawing&, ViewportEntityHeaderRecord&) override { return note("readViewportEntity"); }

    int seekSpaceEntities(Drawing&) override { return note("seekSpaceEntities"); }
    int seekBlockEntities(Drawing&) override { return note("seekBlockEntities"); }
    int readEntity(Drawing&, EntityRecord&, uint8_t&) override { return note("readEntity"); }

    int seekObjects(Drawing&) override { return note("seekObjects"); }
    uint16_t nextObjectCode(Drawing&) override {
        note("nextObjectCode");
        return objects.empty() ? kNoMoreObjects : objects.front().header.type;
    }
    int readDictionary(Drawing&, ObjectRecord& o, uint8_t&) override { return nextObject(o, "readDictionary"); }
    int readMlineStyle(Drawing&, ObjectRecord& o, uint8_t&) override { return nextObject(o, "readMlineStyle"); }
    int readGroup(Drawing&, ObjectRecord& o, uint8_t&) override { return nextObject(o, "readGroup"); }
    int readClassObject(Drawing&, ObjectRecord& o, uint8_t&) override { return nextObject(o, "readClassObject"); }

    EntityRangePosition entityRangePosition(Drawing&) override {
        EntityRangePosition p = positions.front();
        positions.pop_front();
        return p;
    }

    int attachExtendedData(Drawing&, OwnedStream&) override {
        note("attachExtendedData");
        return attachments++ == attachFailsAt ? 0 : 1;
    }
    void endTableLoad(Drawing&) override { note("endTableLoad"); }
    void endObjectLoad(Drawing&) override { note("endObjectLoad"); }

private:
    int note(const char* call) {
        calls.emplace_back(call);
        return 1;
    }

    // Hands out the next record over the defaults the pass set; an empty table marks the end.
    template <class Record>
    int next(Table<Record>& table, Record& record, uint8_t& hasXData, const char* call) {
        note(call);
        const int read = table.reads++;
        if (read == table.failAtRead) return 0;
        if (table.records.empty()) {
            record.endOfTable = 1;
            return 1;
        }
        record = table.records.front();
        table.records.pop_front();
        hasXData = size_t(read) < table.xdata.size() ? table.xdata[size_t(read)] : 0;
        return 1;
    }

    int nextObject(ObjectRecord& object, const char* call) {
        note(call);
        const uint16_t type = object.header.type;
        object = objects.front();
        objects.pop_front();
        object.header.type = type;
        return 1;
    }
};

} // namespace tracemill::test
