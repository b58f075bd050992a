// Generated DXF input for the benchmarks: the same groups written as ASCII (CR LF lines) and as
// binary DXF of version 2000, with a run of mixed entities (LINE, ARC, CIRCLE, LWPOLYLINE,
// TEXT, INSERT). The files go to the temporary folder, never into the project.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "toolkit/core/byte_order.h"
#include "toolkit/read/dxf_value_type.h"

namespace tracemill::bench {

class TwinWriter {
public:
    TwinWriter(std::FILE* ascii, std::FILE* binary) : ascii_(ascii), binary_(binary) {
        std::fputs("AutoCAD Binary DXF\r\n\x1a", binary_);
        std::fputc(0, binary_);
    }
    void text(uint16_t code, const std::string& value) {
        codeLine(code);
        std::fprintf(ascii_, "%s\r\n", value.c_str());
        std::fwrite(value.c_str(), 1, value.size() + 1, binary_);
    }
    void real(uint16_t code, double value) {
        codeLine(code);
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        std::fprintf(ascii_, "%.*s\r\n", int(end - buffer), buffer);
        uint8_t bytes[8];
        putLe64(bytes, doubleBits(value));
        std::fwrite(bytes, 1, 8, binary_);
    }
    void integer(uint16_t code, int32_t value) {
        codeLine(code);
        std::fprintf(ascii_, "%6d\r\n", value);
        uint8_t bytes[4];
        putLe32(bytes, uint32_t(value));
        std::fwrite(bytes, 1, dxfValueType(code) == DxfValueType::Long ? 4 : 2, binary_);
    }
    void handle(uint16_t code, uint64_t value) {
        char hex[17];
        *std::to_chars(hex, hex + 16, value, 16).ptr = 0;
        text(code, hex);
    }

private:
    void codeLine(uint16_t code) {
        std::fprintf(ascii_, "%3d\r\n", code);
        uint8_t bytes[2];
        putLe16(bytes, code);
        std::fwrite(bytes, 1, 2, binary_);
    }
    std::FILE* ascii_;
    std::FILE* binary_;
};

// Entities of the six kinds in turn on 20 layers ("Layer0" ...), with handles from `firstHandle`;
// INSERTs name the block "Door".
inline void writeMixedEntities(TwinWriter& w, int count, uint64_t firstHandle) {
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
    for (int i = 0; i < count; ++i) {
        static const char* const kinds[] = {"LINE", "ARC", "CIRCLE", "LWPOLYLINE", "TEXT", "INSERT"};
        const int kind = i % 6;
        w.text(0, kinds[kind]);
        w.handle(5, firstHandle + uint64_t(i));
        w.text(330, "1F");
        w.text(100, "AcDbEntity");
        w.text(8, "Layer" + std::to_string(i % 20));
        w.integer(62, i % 256);
        w.real(10, coordinate(rng));
        w.real(20, coordinate(rng));
        w.real(30, 0.0);
        switch (kind) {
        case 0:
            w.real(11, coordinate(rng));
            w.real(21, coordinate(rng));
            w.real(31, 0.0);
            break;
        case 1:
        case 2:
            w.real(40, 1.0 + std::fabs(coordinate(rng)) / 100.0);  // a radius of 1 to 51
            if (kind == 1) {
                w.real(50, 15.0);
                w.real(51, 195.5);
            }
            break;
        case 3:
            w.integer(90, 8);
            w.integer(70, 1);
            for (int v = 0; v < 8; ++v) {
                w.real(10, coordinate(rng));
                w.real(20, coordinate(rng));
            }
            break;
        case 4:
            w.real(40, 2.5);
            w.text(1, "Room " + std::to_string(i));
            w.text(7, "Standard");
            break;
        default:
            w.text(2, "Door");
            w.real(41, 1.0);
            w.real(42, 1.0);
            w.real(50, 90.0);
            break;
        }
    }
}

// The benchmark drawing: a header, 20 layers, the block "Door" and `entities` mixed entities, as
// an ASCII file and its binary twin.
inline void writeTwin(const std::filesystem::path& ascii, const std::filesystem::path& binary, int entities) {
    std::FILE* a = std::fopen(ascii.string().c_str(), "wb");
    std::FILE* b = std::fopen(binary.string().c_str(), "wb");
    if (!a || !b) {
        std::fprintf(stderr, "cannot write %s\n", ascii.parent_path().string().c_str());
        std::exit(1);
    }
    TwinWriter w(a, b);
    w.text(0, "SECTION");
    w.text(2, "HEADER");
    w.text(9, "$ACADVER");
    w.text(1, "AC1015");
    w.text(9, "$HANDSEED");
    w.handle(5, 0x100 + uint64_t(entities) + 1);
    w.text(0, "ENDSEC");
    w.text(0, "SECTION");
    w.text(2, "TABLES");
    w.text(0, "TABLE");
    w.text(2, "LAYER");
    w.handle(5, 2);
    w.integer(70, 20);
    for (int i = 0; i < 20; ++i) {
        w.text(0, "LAYER");
        w.handle(5, 0x20 + uint64_t(i));
        w.text(330, "2");
        w.text(2, "Layer" + std::to_string(i));
        w.integer(70, 0);
        w.integer(62, i % 7 + 1);
        w.text(6, "Continuous");
    }
    w.text(0, "ENDTAB");
    w.text(0, "ENDSEC");
    w.text(0, "SECTION");
    w.text(2, "BLOCKS");
    w.text(0, "BLOCK");
    w.handle(5, 0x40);
    w.text(8, "0");
    w.text(2, "Door");
    w.integer(70, 0);
    w.real(10, 0.0);
    w.real(20, 0.0);
    w.real(30, 0.0);
    w.text(0, "LINE");
    w.handle(5, 0x41);
    w.text(8, "0");
    w.real(10, 0.0);
    w.real(20, 0.0);
    w.real(30, 0.0);
    w.real(11, 1.0);
    w.real(21, 0.0);
    w.real(31, 0.0);
    w.text(0, "ENDBLK");
    w.handle(5, 0x42);
    w.text(8, "0");
    w.text(0, "ENDSEC");
    w.text(0, "SECTION");
    w.text(2, "ENTITIES");
    writeMixedEntities(w, entities, 0x100);
    w.text(0, "ENDSEC");
    w.text(0, "EOF");
    std::fclose(a);
    std::fclose(b);
}

} // namespace tracemill::bench
