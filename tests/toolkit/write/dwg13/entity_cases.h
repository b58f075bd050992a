// Tables of entity cases for the R13-2000 DWG writer: each case makes a small drawing in
// memory, saves it as "AC1012", "AC1014" or "AC1015", checks the file's structure, reads it back
// with the reader and finds the entity again by its handle. The entity's record is also decoded
// from the file on its own: its type, the common data the layouts read, and the bits of its
// type-specific fields, so a case can pin the exact form of a field where the format has a
// compact one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bit_string.h"
#include "dwg13_structure_check.h"
#include "toolkit/core/class_list.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg13_entity_common.h"
#include "toolkit/read/dwg13_entity_layouts.h"
#include "toolkit/read/dwg13_field_io.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/codec/bit_writer.h"
#include "write_test_files.h"

namespace tracemill::test {

inline constexpr int16_t kBitCodedVersions[] = {kVersionAC1012, kVersionAC1014, kVersionAC1015};

inline std::string versionName(int16_t version) { return std::string(kVersionSignatures[version]); }

// One entity as a saved file holds it.
struct SavedEntity {
    const EntityRecord* back = nullptr; // the entity as the reader read it back (null: not found)
    uint16_t fileType = 0;              // the record's object type
    bool hasXData = false;
    bool hasGraphics = false;
    std::vector<uint8_t> graphics; // the record's graphics
    Dwg13EntityCommon common; // the common data of the record
    std::string fieldBits;    // the bits from the type's fields up to the handle references
    // What reading the record again needs.
    std::vector<uint8_t> data;
    int16_t version = 0;
    Handle own;
    uint64_t fieldStart = 0;  // bit of the type's fields
    uint64_t handleStart = 0; // bit of the handle references
};

// Reads the type's fields and handles of a saved record again through a layout:
// `read(io, header, common)` with the reading field stream at the type's fields.
template <class Read> void rereadRecord(const SavedEntity& saved, Read&& read) {
    BitReader bits(saved.data);
    bits.seekBit(saved.fieldStart);
    Dwg13FieldReader io(bits, saved.version, saved.own);
    io.setHandleStreamStart(saved.handleStart);
    EntityHeader header;
    Dwg13EntityCommon common = saved.common;
    read(io, header, common);
}

// The bits a few writes give, for comparing with `SavedEntity::fieldBits`.
inline std::string bitsOfWrites(const std::function<void(BitWriter&)>& writes) {
    BitWriter w;
    writes(w);
    const uint64_t length = w.bitLength();
    return bytesToBits(w.takeBytes(), length);
}

class EntityCaseTest : public WriterTest {
protected:
    // A new drawing to build a case in.
    Drawing* newDrawing() {
        drawing_ = keep(dbCreateDrawing(nullptr, nullptr, 0, kVersionAC1015));
        return drawing_;
    }
    EntityRecord entity(uint16_t type) { return newEntity(drawing_, type); }
    // Appends to model space (or paper space when the entity says so) and gives its handle.
    Handle add(EntityRecord e) {
        const Handle handle = e.header.handle;
        EntityList* list = (e.header.flags & kEntityInPaperSpace) ? drawing_->paperSpace : drawing_->modelSpace;
        EXPECT_EQ(dbAppendEntity(drawing_, list, std::move(e)), 1);
        return handle;
    }
    // A block record of that name, added to the drawing.
    Handle addBlock(const std::string& name) {
        BlockRecord record;
        record.name = name;
        record.handle = dbNewHandle(*drawing_);
        EXPECT_EQ(dbBlockAdd(drawing_, record), 1);
        return record.handle;
    }
    uint16_t classOf(ClassKind kind) {
        const uint16_t number = dbAddDefaultClass(drawing_->classes, kind);
        EXPECT_NE(number, 0);
        return number;
    }

    // Saves the drawing as `version`, checks the file, reads it back and decodes the record
    // of `handle`.
    SavedEntity save(int16_t version, Handle handle) {
        SavedEntity out;
        const auto path = folder_ / ("case" + std::to_string(++saves_) + ".dwg");
        EXPECT_EQ(saveAs(drawing_, path, kSaveFormatDwg, version), 1) << dbGetError();
        const Dwg13CheckResult check = checkDwg13File(path);
        EXPECT_TRUE(check.ok()) << check.report();
        back_ = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
        EXPECT_NE(back_, nullptr) << dbGetError();
        if (back_) out.back = find(*back_, handle);
        const std::vector<uint8_t> file = readFileBytes(path);
        for (const Dwg13CheckedRecord& record : check.records) {
            if (record.handle == handle.value) decode(file, record, version, out);
        }
        return out;
    }
    // Saves the drawing as each version and hands the saved entity to `check(saved, version)`
    // when it came back.
    template <class Check> void eachVersion(Handle handle, Check&& check) {
        for (int16_t version : kBitCodedVersions) {
            SCOPED_TRACE(versionName(version));
            const SavedEntity saved = save(version, handle);
            EXPECT_NE(saved.back, nullptr);
            if (saved.back) check(saved, version);
        }
    }
    // The entity that follows `handle` in the list of the drawing read back.
    const EntityRecord* following(Handle handle, size_t steps = 1) const {
        for (const BlockNode& block : back_->blocks) {
            if (!block.entityList) continue;
            const EntityList& list = *block.entityList;
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (it->record.header.handle != handle) continue;
                for (size_t i = 0; i < steps && it != list.end(); ++i) ++it;
                return it == list.end() ? nullptr : &it->record;
            }
        }
        return nullptr;
    }

    // The entity of `handle` in any block of the drawing.
    static const EntityRecord* find(const Drawing& drawing, Handle handle) {
        for (const BlockNode& block : drawing.blocks) {
            if (!block.entityList) continue;
            for (const EntityNode& node : *block.entityList)
                if (node.record.header.handle == handle) return &node.record;
        }
        return nullptr;
    }

    Drawing* drawing_ = nullptr;
    Drawing* back_ = nullptr;

private:
    // The record's prologue (type, size in bits, handle, extended data, graphics), its common
    // data through the shared layout, and the bits of its fields.
    static void decode(const std::vector<uint8_t>& file, const Dwg13CheckedRecord& record, int16_t version,
                       SavedEntity& out) {
        const std::span<const uint8_t> data = std::span(file).subspan(record.dataStart, record.size);
        BitReader bits(data);
        out.fileType = rdBitShort(bits);
        uint32_t handleStart = 0; // the record's size in bits: where its handle references start
        if (version >= kVersionAC1015) handleStart = uint32_t(rdRawLong(bits));
        Handle own;
        rdReadHandle(bits, own);
        for (uint16_t size = rdBitShort(bits); size != 0 && !bits.overrun(); size = rdBitShort(bits)) {
            out.hasXData = true;
            Handle application;
            rdReadHandle(bits, application);
            bits.skipBits(uint64_t(size) * 8);
        }
        out.hasGraphics = rdBit(bits) != 0;
        if (out.hasGraphics) {
            out.graphics.resize(uint32_t(rdRawLong(bits)));
            bits.readBytes(out.graphics.data(), out.graphics.size());
        }
        if (version < kVersionAC1015) handleStart = uint32_t(rdRawLong(bits));
        Dwg13FieldReader io(bits, version, own);
        EntityHeader header;
        dwg13EntityCommonData(io, header, out.common);
        const uint64_t start = bits.bitPosition();
        out.data.assign(data.begin(), data.end());
        out.version = version;
        out.own = own;
        out.fieldStart = start;
        out.handleStart = handleStart;
        const std::vector<uint8_t> bytes(data.begin(), data.end());
        const std::string all = bytesToBits(bytes, handleStart);
        out.fieldBits = start < all.size() ? all.substr(start) : std::string();
    }

    int saves_ = 0;
};

} // namespace tracemill::test
