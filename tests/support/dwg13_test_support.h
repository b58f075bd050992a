// Reading R13-2000 DWG files in tests: the sample files' bytes, and a walk through every
// reader operation of Dwg13Reader as a load takes them, which keeps what it read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/dwg13_reader.h"

namespace tracemill::test {

inline std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// What one pass through a file read.
struct Dwg13Pass {
    int opened = 0;
    std::map<std::string, std::vector<uint64_t>> records; // table name -> handles in reading order
    std::vector<EntityRecord> entities;
    std::vector<ObjectRecord> objects;
    std::vector<ViewportEntityHeaderRecord> viewportHeaders;
    std::set<uint64_t> handles; // every handle read, the controls and the layout blocks included
    std::vector<uint64_t> repeated; // handles read more than once
};

// Runs every operation of the reader on the file: open, classes, the tables, the block records,
// the entities of the two spaces and of every block, the viewport entity headers, the objects.
// Handles of records read are noted; the drawing holds the classes.
inline Dwg13Pass dwg13ReadEverything(Dwg13Reader& reader, Drawing& drawing) {
    Dwg13Pass pass;
    auto note = [&](Handle h) {
        if (!pass.handles.insert(h.value).second) pass.repeated.push_back(h.value);
    };
    pass.opened = reader.openHeader(drawing);
    if (!pass.opened) return pass;
    for (Handle h : {drawing.handles.blockControl, drawing.handles.layerControl, drawing.handles.styleControl,
                     drawing.handles.linetypeControl, drawing.handles.viewControl, drawing.handles.ucsControl,
                     drawing.handles.vportControl, drawing.handles.appIdControl, drawing.handles.dimStyleControl,
                     drawing.handles.viewportEntityHeaderControl, drawing.handles.modelSpaceBlock,
                     drawing.handles.paperSpaceBlock, drawing.handles.modelSpaceBlockEntity,
                     drawing.handles.modelSpaceEndBlockEntity, drawing.handles.paperSpaceBlockEntity,
                     drawing.handles.paperSpaceEndBlockEntity})
        if (!h.isNull()) note(h);
    reader.seekClasses(drawing);
    ClassEntry entry;
    while (reader.readClass(drawing, entry)) dbAppendClass(drawing.classes, entry);

    auto table = [&](const char* name, auto seek, auto read) {
        (reader.*seek)(drawing);
        for (;;) {
            auto record = read();
            if (record.endOfTable) break;
            note(record.handle);
            pass.records[name].push_back(record.handle.value);
        }
    };
    uint8_t hasXData = 0;
    table("LTYPE", &Dwg13Reader::seekLinetypes, [&] {
        LinetypeRecord r;
        reader.readLinetype(drawing, r, hasXData);
        return r;
    });
    table("LAYER", &Dwg13Reader::seekLayers, [&] {
        LayerRecord r;
        LinetypeReference unused;
        reader.readLayer(drawing, r, unused, hasXData);
        return r;
    });
    table("STYLE", &Dwg13Reader::seekStyles, [&] {
        StyleRecord r;
        reader.readStyle(drawing, r, hasXData);
        return r;
    });
    table("VIEW", &Dwg13Reader::seekViews, [&] {
        ViewRecord r;
        reader.readView(drawing, r, hasXData);
        return r;
    });
    table("UCS", &Dwg13Reader::seekUcss, [&] {
        UcsRecord r;
        reader.readUcs(drawing, r, hasXData);
        return r;
    });
    table("VPORT", &Dwg13Reader::seekVports, [&] {
        VportRecord r;
        reader.readVport(drawing, r, hasXData);
        return r;
    });
    table("APPID", &Dwg13Reader::seekAppIds, [&] {
        AppIdRecord r;
        reader.readAppId(drawing, r, hasXData);
        return r;
    });
    table("DIMSTYLE", &Dwg13Reader::seekDimStyles, [&] {
        DimStyleRecord r;
        reader.readDimStyle(drawing, r, hasXData);
        return r;
    });
    table("BLOCK_RECORD", &Dwg13Reader::seekBlockRecords, [&] {
        BlockRecord r;
        reader.readBlockRecord(drawing, r, hasXData);
        return r;
    });

    auto entities = [&](bool block) {
        for (;;) {
            EntityRecord entity;
            if (!reader.readEntity(drawing, entity, hasXData)) return;
            note(entity.header.handle);
            const uint16_t type = entity.header.type;
            pass.entities.push_back(std::move(entity));
            if (block && type == kEntityEndBlock) return;
        }
    };
    reader.seekSpaceEntities(drawing);
    entities(false);
    for (uint64_t block : pass.records["BLOCK_RECORD"]) {
        reader.setCurrentBlock(Handle(block));
        reader.seekBlockEntities(drawing);
        entities(true);
    }

    reader.seekViewportEntities(drawing);
    for (;;) {
        ViewportEntityHeaderRecord header;
        reader.readViewportEntity(drawing, header);
        if (header.endOfTable) break;
        note(header.handle);
        pass.viewportHeaders.push_back(header);
    }

    reader.seekObjects(drawing);
    while (uint16_t code = reader.nextObjectCode(drawing)) {
        (void)code;
        ObjectRecord object;
        reader.readClassObject(drawing, object, hasXData);
        // The reader looks for objects no pass has read in the drawing's handle index, which
        // this walk does not fill: what a table pass read already is passed over here.
        if (pass.handles.count(object.header.handle.value)) continue;
        note(object.header.handle);
        pass.objects.push_back(std::move(object));
    }
    return pass;
}

} // namespace tracemill::test
