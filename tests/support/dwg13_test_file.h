// Small R13-2000 DWG files assembled for tests: a file header with its locators, the header
// variables written through their layout, a classes section, object records and the object
// map. Records are given as functions that write their fields; the prologue is added here.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg_object_map.h"
#include "toolkit/codec/bit_writer.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/write/dwg13/field_writer.h"

namespace tracemill::test {

class Dwg13TestFile {
  public:
    using Fields = std::function<void(Dwg13FieldWriter&)>;

    explicit Dwg13TestFile(int versionIndex) : version_(versionIndex) {}

    HeaderBlock header;
    Dwg13HeaderHandles handles;
    std::vector<ClassEntry> classes;
    // Bytes of padding after the header variables inside their section (to make it large).
    size_t headerPadding = 0;

    // An object record: type, own handle, entity or not; `fields` writes everything after the
    // prologue and marks the handle stream (`io.handleStream()`).
    void addRecord(uint16_t type, Handle handle, bool entity, Fields fields) {
        records_.push_back({type, handle, entity, std::move(fields)});
    }

    std::vector<uint8_t> build() const {
        std::vector<uint8_t> file(kRecordsStart, 0);
        const std::string_view signature = kVersionSignatures[version_];
        std::copy(signature.begin(), signature.end(), file.begin());
        putLe32(&file[dwg13::kLocatorCountOffset], 6);
        auto locator = [&](size_t index, uint32_t position, uint32_t size) {
            uint8_t* at = &file[dwg13::kLocatorsOffset + index * dwg13::kLocatorSize];
            at[0] = uint8_t(index);
            putLe32(at + 1, position);
            putLe32(at + 5, size);
        };
        // The header variables section.
        const uint32_t headerAt = uint32_t(file.size());
        {
            BitWriter bits;
            Dwg13FieldWriter io(bits, version_);
            HeaderBlock h = header;
            Dwg13HeaderHandles x = handles;
            uint32_t flags = 0;
            int16_t unit = h.dimlunit;
            dwg13HeaderVariables(io, h, x, flags, unit);
            std::vector<uint8_t> data = bits.takeBytes();
            data.resize(data.size() + headerPadding, 0);
            appendSection(file, data);
        }
        locator(dwg13::kLocatorHeaderVariables, headerAt, uint32_t(file.size() - headerAt));
        const uint32_t classesAt = uint32_t(file.size());
        {
            BitWriter bits;
            Dwg13FieldWriter io(bits, version_);
            for (ClassEntry entry : classes) dwg13ClassRecord(io, entry);
            appendSection(file, bits.takeBytes());
        }
        locator(dwg13::kLocatorClasses, classesAt, uint32_t(file.size() - classesAt));
        std::vector<ObjectMapEntry> map;
        for (const Record& record : records_) {
            map.push_back({record.handle, uint32_t(file.size())});
            appendRecord(file, record);
        }
        const uint32_t mapAt = uint32_t(file.size());
        appendMap(file, map);
        locator(dwg13::kLocatorObjectMap, mapAt, uint32_t(file.size() - mapAt));
        locator(dwg13::kLocatorDescriptor, uint32_t(file.size()), 0);
        locator(dwg13::kLocatorMeasurement, uint32_t(file.size()), 0);
        locator(dwg13::kLocatorFixedBlock, 97, 0);
        file.push_back(0);
        file.push_back(0);
        return file;
    }

  private:
    static constexpr size_t kRecordsStart = 128;

    struct Record {
        uint16_t type;
        Handle handle;
        bool entity;
        Fields fields;
    };

    static void appendSection(std::vector<uint8_t>& file, const std::vector<uint8_t>& data) {
        file.insert(file.end(), 16, 0xAA); // sentinel
        uint8_t size[4];
        putLe32(size, uint32_t(data.size()));
        file.insert(file.end(), size, size + 4);
        file.insert(file.end(), data.begin(), data.end());
        file.insert(file.end(), 2, 0); // CRC, not checked by the reader
        file.insert(file.end(), 16, 0xBB);
    }

    // The record's data: the prologue, then the fields; written twice so that the size in bits
    // names where the handles start.
    std::vector<uint8_t> recordData(const Record& record) const {
        uint32_t handleStart = 0;
        for (int pass = 0; pass < 2; ++pass) {
            BitWriter bits;
            wrPutBitShort(bits, record.type);
            const bool r2000 = version_ >= kVersionAC1015;
            if (r2000) wrPutRawLongBits(bits, int32_t(handleStart));
            wrPutHandle(bits, 0x00, record.handle);
            wrPutBitShort(bits, 0); // no extended data
            if (record.entity) wrPutBit(bits, 0);
            if (!r2000) wrPutRawLongBits(bits, int32_t(handleStart));
            if (!record.entity) wrPutBitLong(bits, 0); // no reactors
            Dwg13FieldWriter io(bits, version_, record.handle);
            record.fields(io);
            if (pass == 1) return bits.takeBytes();
            handleStart = uint32_t(io.handleStreamStart());
        }
        return {};
    }

    void appendRecord(std::vector<uint8_t>& file, const Record& record) const {
        const std::vector<uint8_t> data = recordData(record);
        uint8_t size[2];
        putLe16(size, uint16_t(data.size()));
        file.insert(file.end(), size, size + 2);
        file.insert(file.end(), data.begin(), data.end());
        file.insert(file.end(), 2, 0);
    }

    static void appendMap(std::vector<uint8_t>& file, const std::vector<ObjectMapEntry>& entries) {
        std::vector<uint8_t> section(2);
        Handle previous;
        int64_t previousPosition = 0;
        for (const ObjectMapEntry& e : entries) {
            uint8_t buffer[10];
            int n = wrModularChar(buffer, Handle(e.handle.value - previous.value));
            section.insert(section.end(), buffer, buffer + n);
            n = wrSignedModularChar(buffer, int32_t(int64_t(e.position) - previousPosition));
            section.insert(section.end(), buffer, buffer + n);
            previous = e.handle;
            previousPosition = e.position;
        }
        section[0] = uint8_t(section.size() >> 8);
        section[1] = uint8_t(section.size());
        section.insert(section.end(), 2, 0);
        file.insert(file.end(), section.begin(), section.end());
        const uint8_t empty[] = {0x00, 0x02, 0x00, 0x00};
        file.insert(file.end(), empty, empty + 4);
    }

    int version_;
    std::vector<Record> records_;
};

} // namespace tracemill::test
