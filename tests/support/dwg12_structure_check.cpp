#include "dwg12_structure_check.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string_view>

namespace tracemill::test {
namespace {

using Sentinel = std::array<uint8_t, 16>;

constexpr std::string_view kSignatures[5] = {"AC1002", "AC1003", "AC1004", "AC1006", "AC1009"};
constexpr uint32_t kHeaderSizes[5] = {929, 981, 1007, 1310, 1727};
constexpr uint8_t kLayoutNumbers[5] = {0x72, 0x7A, 0x81, 0xA0, 0xCD};

struct TableSpec {
    const char* name;
    uint16_t head;
    uint16_t sizes[5];
    uint16_t crcXor;
    uint16_t trailerNumber;
    Sentinel begin;
    Sentinel end;
};

// clang-format off
const TableSpec kTables[10] = {
    {"BLOCK", 0x2C, {38, 38, 37, 37, 45}, 0x91C0, 1,
     {0xDB, 0xEF, 0xB3, 0xF0, 0xC7, 0x3E, 0x6D, 0xA6, 0xC9, 0xB6, 0x24, 0x5C, 0x4C, 0x6F, 0x32, 0xCB},
     {0x24, 0x10, 0x4C, 0x0F, 0x38, 0xC1, 0x92, 0x59, 0x36, 0x49, 0xDB, 0xA3, 0xB3, 0x90, 0xCD, 0x34}},
    {"LAYER", 0x36, {38, 38, 37, 37, 41}, 0xC6AD, 2,
     {0x0E, 0xC4, 0x64, 0x6F, 0xBB, 0x1D, 0xD3, 0x8B, 0x00, 0x49, 0xC2, 0xEF, 0x18, 0xEA, 0x6F, 0xFB},
     {0xF1, 0x3B, 0x9B, 0x90, 0x44, 0xE2, 0x2C, 0x74, 0xFF, 0xB6, 0x3D, 0x10, 0xE7, 0x15, 0x90, 0x04}},
    {"STYLE", 0x40, {194, 194, 194, 194, 198}, 0x79D4, 3,
     {0xE2, 0x3E, 0xC1, 0x82, 0x43, 0x9F, 0x61, 0x77, 0x50, 0xAB, 0xC7, 0x66, 0x96, 0x00, 0x06, 0x18},
     {0x1D, 0xC1, 0x3E, 0x7D, 0xBC, 0x60, 0x9E, 0x88, 0xAF, 0x54, 0x38, 0x99, 0x69, 0xFF, 0xF9, 0xE7}},
    {"LTYPE", 0x4A, {188, 188, 187, 187, 191}, 0xF4D1, 5,
     {0xAC, 0x90, 0x1A, 0xCA, 0x1C, 0xBD, 0x95, 0x15, 0x16, 0x16, 0x4C, 0x14, 0xCE, 0x18, 0x88, 0xAF},
     {0x53, 0x6F, 0xE5, 0x35, 0xE3, 0x42, 0x6A, 0xEA, 0xE9, 0xE9, 0xB3, 0xEB, 0x31, 0xE7, 0x77, 0x50}},
    {"VIEW", 0x54, {92, 92, 91, 149, 153}, 0xAAAD, 6,
     {0xC1, 0x3C, 0xAA, 0x56, 0x68, 0xF4, 0xB4, 0x1E, 0x4B, 0x74, 0xF4, 0x08, 0x42, 0x4D, 0xBF, 0xA5},
     {0x3E, 0xC3, 0x55, 0xA9, 0x97, 0x0B, 0x4B, 0xE1, 0xB4, 0x8B, 0x0B, 0xF7, 0xBD, 0xB2, 0x40, 0x5A}},
    {"UCS", 0x3EF, {0, 0, 0, 105, 109}, 0xB4E0, 7,
     {0x60, 0x4A, 0xFA, 0x3D, 0x84, 0x90, 0xCC, 0x5B, 0xEF, 0xE7, 0xD6, 0xA5, 0x7F, 0x1E, 0x61, 0xCD},
     {0x9F, 0xB5, 0x05, 0xC2, 0x7B, 0x6F, 0x33, 0xA4, 0x10, 0x18, 0x29, 0x5A, 0x80, 0xE1, 0x9E, 0x32}},
    {"VPORT", 0x500, {0, 0, 0, 249, 253}, 0x83FF, 8,
     {0xF6, 0xED, 0x44, 0x61, 0x2A, 0xDC, 0xE4, 0x7B, 0x4E, 0xB9, 0x2B, 0xBB, 0x66, 0x60, 0x63, 0x8D},
     {0x09, 0x12, 0xBB, 0x9E, 0xD5, 0x23, 0x1B, 0x84, 0xB1, 0x46, 0xD4, 0x44, 0x99, 0x9F, 0x9C, 0x72}},
    {"APPID", 0x512, {0, 0, 0, 0, 37}, 0xDDC1, 9,
     {0xE1, 0x25, 0xC2, 0x50, 0x36, 0x68, 0x6C, 0x0C, 0x3B, 0xD3, 0x5D, 0x56, 0xC1, 0x79, 0x1C, 0x3A},
     {0x1E, 0xDA, 0x3D, 0xAF, 0xC9, 0x97, 0x93, 0xF3, 0xC4, 0x2C, 0xA2, 0xA9, 0x3E, 0x86, 0xE3, 0xC5}},
    {"DIMSTYLE", 0x522, {0, 0, 0, 0, 324}, 0x33F8, 10,
     {0xB4, 0x18, 0x3E, 0x42, 0xC9, 0x9F, 0xFF, 0xE5, 0xB6, 0xE2, 0xCB, 0xB3, 0x75, 0xC3, 0xC3, 0xB0},
     {0x4B, 0xE7, 0xC1, 0xBD, 0x36, 0x60, 0x00, 0x1A, 0x49, 0x1D, 0x34, 0x4C, 0x8A, 0x3C, 0x3C, 0x4F}},
    {"VP_ENT_HDR", 0x69F, {0, 0, 0, 0, 43}, 0xC2FC, 11,
     {0xE0, 0xCA, 0x36, 0x7C, 0xCE, 0xE7, 0x58, 0x6F, 0x2B, 0x7D, 0x74, 0x55, 0x05, 0xF1, 0x44, 0x7F},
     {0x1F, 0x35, 0xC9, 0x83, 0x31, 0x18, 0xA7, 0x90, 0xD4, 0x82, 0x8B, 0xAA, 0xFA, 0x0E, 0xBB, 0x80}},
};
const Sentinel kEntitiesBegin = {0xC4, 0x6E, 0x68, 0x54, 0xF8, 0x6E, 0x33, 0x30, 0x63, 0x3E, 0xC1, 0x85, 0x2A, 0xDC, 0x94, 0x01};
const Sentinel kEntitiesEnd = {0x3B, 0x91, 0x97, 0xAB, 0x07, 0x91, 0xCC, 0xCF, 0x9C, 0xC1, 0x3E, 0x7A, 0xD5, 0x23, 0x6B, 0xFE};
const Sentinel kBlocksBegin = {0x72, 0x2B, 0x7D, 0xEC, 0x3E, 0x8C, 0x88, 0x6C, 0x7A, 0x72, 0x0A, 0xFD, 0xC8, 0x6C, 0x84, 0x26};
const Sentinel kBlocksEnd[4] = {
    {0x8D, 0xD4, 0x82, 0x13, 0xC1, 0x73, 0x77, 0x93, 0x85, 0x8D, 0xF5, 0x02, 0x37, 0x93, 0x7B, 0xD9},
    {0xD5, 0xF9, 0xD3, 0xBB, 0x0A, 0xA9, 0x69, 0xA6, 0xCD, 0x1C, 0x87, 0xC7, 0xEE, 0x80, 0x4B, 0x17},
    {0x2A, 0x06, 0x2C, 0x44, 0xF5, 0x56, 0x96, 0x59, 0x32, 0xE3, 0x78, 0x38, 0x11, 0x7F, 0xB4, 0xE8},
    {0x29, 0x8D, 0xD1, 0x49, 0xA9, 0x73, 0x1F, 0xEA, 0x99, 0xDE, 0x32, 0xF9, 0x4D, 0x0A, 0xE0, 0x19}};
const Sentinel kTrailerEnd = {0xD6, 0x72, 0x2E, 0xB6, 0x56, 0x8C, 0xE0, 0x15, 0x66, 0x21, 0xCD, 0x06, 0xB2, 0xF5, 0x1F, 0xE6};
// clang-format on

constexpr uint16_t kHeaderXor = 0x6718;
constexpr uint16_t kTrailerXor = 0xA904;
constexpr uint16_t kEntitySeed = 0xC0C1;
constexpr uint32_t kTrailerSize = 138;
constexpr uint8_t kKindBlock = 12;
constexpr uint8_t kKindViewport = 24;

class Checker {
  public:
    explicit Checker(std::span<const uint8_t> file) : f_(file) {}
    Dwg12CheckResult run();

  private:
    template <class... A> void problem(const char* format, A... args) {
        char text[256];
        std::snprintf(text, sizeof text, format, args...);
        r_.problems.emplace_back(text);
    }
    bool has(uint64_t offset, uint64_t count) const { return offset <= f_.size() && count <= f_.size() - offset; }
    uint16_t u16(uint64_t at) const { return has(at, 2) ? uint16_t(f_[at] | (f_[at + 1] << 8)) : 0; }
    uint32_t u32(uint64_t at) const { return has(at, 4) ? uint32_t(u16(at) | (uint32_t(u16(at + 2)) << 16)) : 0; }
    bool checksummed() const { return r_.version == 4; }
    // The sentinel at `at`; `what` names it in the problem.
    void sentinel(uint64_t at, const Sentinel& s, const char* what) {
        if (!has(at, 16) || !std::equal(s.begin(), s.end(), f_.begin() + ptrdiff_t(at)))
            problem("the sentinel %s is not at 0x%llX", what, (unsigned long long)at);
    }
    bool head();
    void walk(uint32_t start, uint32_t end, bool blocks);
    uint64_t tables(uint64_t at);
    void blockRecords();
    void tail();
    void viewports();

    std::span<const uint8_t> f_;
    Dwg12CheckResult r_;
};

bool Checker::head() {
    if (f_.size() < 6) {
        problem("the file is too short for a version");
        return false;
    }
    const std::string_view signature(reinterpret_cast<const char*>(f_.data()), 6);
    for (int v = 0; v < 5; ++v) {
        if (signature == kSignatures[v]) r_.version = v;
    }
    if (r_.version < 0) {
        problem("not a version of this family");
        return false;
    }
    const int v = r_.version;
    r_.headerSize = kHeaderSizes[v];
    if (!has(0, r_.headerSize + (checksummed() ? 16 : 0))) {
        problem("the file is shorter than its header block");
        return false;
    }
    const uint8_t fixed[6] = {uint8_t(v == 0 ? 0 : 1), 3, 0, 5, 0, kLayoutNumbers[v]};
    if (!std::equal(fixed, fixed + 6, f_.begin() + 0x0C)) problem("the fixed bytes at 0x0C are wrong");
    if (u32(0x28) != 0x80000000u) problem("0x28 is not 0x80000000");
    if (!(u32(0x20) & 0x40000000u)) problem("the blocks size at 0x20 lacks bit 30");
    r_.entityStart = u32(0x14);
    r_.entityEnd = u32(0x18);
    r_.blockStart = u32(0x1C);
    r_.blockEnd = r_.blockStart + (u32(0x20) & 0x3FFFFFFF);
    if (r_.entityStart != r_.headerSize + (checksummed() ? 16 : 0))
        problem("the entities start at 0x%X, not after the header block", r_.entityStart);
    if (checksummed()) {
        if (checkCrc16(0, {f_.data(), size_t(r_.headerSize - 2)}) ^ kHeaderXor ^ u16(r_.headerSize - 2))
            problem("the header block's checksum is wrong");
        sentinel(r_.headerSize, kEntitiesBegin, "before the entities");
    }
    for (int t = 0; t < 10; ++t) {
        if (kTables[t].sizes[v] == 0) continue;
        Dwg12CheckTable& table = r_.tables[size_t(t)];
        table.recordSize = u16(kTables[t].head);
        table.count = u32(kTables[t].head + 2);
        table.offset = u32(kTables[t].head + 6);
        if (table.recordSize != kTables[t].sizes[v])
            problem("the %s head gives the record size %u", kTables[t].name, unsigned(table.recordSize));
    }
    return true;
}

// The entity records of a section, one after another, fill it exactly.
void Checker::walk(uint32_t start, uint32_t end, bool blocks) {
    uint64_t at = start;
    while (at < end) {
        if (!has(at, 8)) {
            problem("an entity record at 0x%llX runs past the file", (unsigned long long)at);
            return;
        }
        Dwg12CheckEntity e{uint32_t(at), f_[at], f_[at + 1], u16(at + 2), blocks};
        if (e.length < 8 || at + e.length > end) {
            problem("the entity record at 0x%llX has the length %u, past its section", (unsigned long long)at,
                    unsigned(e.length));
            return;
        }
        if (e.kind < 1 || e.kind > 24 || e.kind == 18)
            problem("the entity record at 0x%llX has the kind %u", (unsigned long long)at, unsigned(e.kind));
        if (checksummed() &&
            checkCrc16(kEntitySeed, {f_.data() + at, size_t(e.length - 2)}) != u16(at + e.length - 2))
            problem("the CRC of the entity record at 0x%llX is wrong", (unsigned long long)at);
        r_.entities.push_back(e);
        at += e.length;
    }
}

// The tables from `at` on, in their order: each ("AC1009": between its sentinels) holds its
// records, size times count bytes. Returns where the tables end.
uint64_t Checker::tables(uint64_t at) {
    const Sentinel* pendingEnd = &kEntitiesEnd;
    for (int t = 0; t < 10; ++t) {
        if (kTables[t].sizes[r_.version] == 0) continue;
        const Dwg12CheckTable& table = r_.tables[size_t(t)];
        if (checksummed()) {
            sentinel(at, *pendingEnd, "after the previous part");
            sentinel(at + 16, kTables[t].begin, kTables[t].name);
            at += 32;
            pendingEnd = &kTables[t].end;
        }
        if (table.offset != at)
            problem("the %s records start at 0x%X, not at 0x%llX", kTables[t].name, table.offset, (unsigned long long)at);
        const uint64_t bytes = uint64_t(table.recordSize) * table.count;
        if (!has(table.offset, bytes)) {
            problem("the %s records run past the file", kTables[t].name);
            return at;
        }
        if (checksummed()) {
            for (uint32_t i = 0; i < table.count; ++i) {
                const uint64_t record = table.offset + uint64_t(i) * table.recordSize;
                if (checkCrc16(0, {f_.data() + record, size_t(table.recordSize - 2)}) ^ kTables[t].crcXor ^
                    u16(record + table.recordSize - 2))
                    problem("the checksum of %s record %u is wrong", kTables[t].name, i);
            }
        }
        at = table.offset + bytes;
    }
    if (checksummed()) {
        sentinel(at, *pendingEnd, "after the last table");
        sentinel(at + 16, kBlocksBegin, "before the blocks");
        at += 32;
    }
    return at;
}

// Every BLOCK record names the offset of a BLOCK entity in the blocks section.
void Checker::blockRecords() {
    const Dwg12CheckTable& table = r_.tables[0];
    std::set<uint32_t> blocks;
    for (const Dwg12CheckEntity& e : r_.entities) {
        if (e.inBlocks && (e.kind & 0x7F) == kKindBlock) blocks.insert(e.offset);
    }
    for (uint32_t i = 0; i < table.count; ++i) {
        const uint64_t record = table.offset + uint64_t(i) * table.recordSize;
        const uint32_t field = u32(record + (checksummed() ? 35 : 33));
        if (checksummed() && !(field & 0x40000000u)) problem("BLOCK record %u lacks the offset's flag", i);
        if (!blocks.count(r_.blockStart + (field & 0x03FFFFFF)))
            problem("BLOCK record %u does not point at a BLOCK entity", i);
    }
}

// "AC1009": four end sentinels, the trailer and its sentinel end the file; older files end
// with the blocks section.
void Checker::tail() {
    const uint64_t end = r_.blockEnd;
    if (!checksummed()) {
        if (u32(0x24) != f_.size()) problem("0x24 does not hold the file's length");
        if (end != f_.size()) problem("the file does not end with the blocks section");
        return;
    }
    for (int i = 0; i < 4; ++i) sentinel(end + 16 * uint64_t(i), kBlocksEnd[i], "after the blocks");
    if (u32(0x24) != end + 32) problem("0x24 does not name the third end sentinel");
    const uint64_t t = end + 64;
    if (!has(t, kTrailerSize + 16)) {
        problem("the trailer is missing");
        return;
    }
    if (u16(t) != 16 || u16(t + 2) != kTrailerSize) problem("the trailer's first words are wrong");
    const uint32_t offsets[4] = {r_.entityStart, r_.entityEnd, r_.blockStart, uint32_t(end + 32)};
    for (int i = 0; i < 4; ++i) {
        if (u32(t + 4 + 4 * uint64_t(i)) != offsets[i]) problem("trailer offset %d is wrong", i);
    }
    if (u16(t + 30) != 10) problem("the trailer does not list ten tables");
    for (int i = 0; i < 10; ++i) {
        const uint64_t entry = t + 32 + 10 * uint64_t(i);
        const Dwg12CheckTable& table = r_.tables[size_t(i)];
        if (u16(entry) != kTables[i].trailerNumber || u16(entry + 2) != table.recordSize ||
            u16(entry + 4) != (table.count & 0xFFFF) || u32(entry + 6) != table.offset)
            problem("the trailer's entry of %s differs from the head", kTables[i].name);
    }
    if (u32(t + 132) != end + 48) problem("the trailer does not name the fourth end sentinel");
    if (checkCrc16(0, {f_.data() + t, size_t(kTrailerSize - 2)}) ^ kTrailerXor ^ u16(t + kTrailerSize - 2))
        problem("the trailer's checksum is wrong");
    sentinel(t + kTrailerSize, kTrailerEnd, "after the trailer");
    if (t + kTrailerSize + 16 != f_.size()) problem("bytes follow the trailer");
}

// The viewport entity headers form a chain from the header's first viewport; each names a
// VIEWPORT of the entities section.
void Checker::viewports() {
    const Dwg12CheckTable& table = r_.tables[9];
    std::set<uint32_t> viewports;
    for (const Dwg12CheckEntity& e : r_.entities) {
        if (!e.inBlocks && e.kind == kKindViewport) viewports.insert(e.offset);
    }
    uint16_t at = u16(0x635);
    std::set<uint16_t> seen;
    while (at != 0) {
        if (at >= table.count || !seen.insert(at).second) {
            problem("the viewport chain reaches record %u", unsigned(at));
            return;
        }
        r_.viewportChain.push_back(at);
        const uint64_t record = table.offset + uint64_t(at) * table.recordSize;
        if (!viewports.count(u32(record + 35))) problem("viewport entity header %u names no VIEWPORT", unsigned(at));
        at = u16(record + 39);
    }
}

Dwg12CheckResult Checker::run() {
    if (!head()) return r_;
    walk(r_.entityStart, r_.entityEnd, false);
    const uint64_t tablesEnd = tables(r_.entityEnd);
    if (r_.blockStart != tablesEnd)
        problem("the blocks section starts at 0x%X, not after the tables (0x%llX)", r_.blockStart,
                (unsigned long long)tablesEnd);
    if (!has(r_.blockStart, r_.blockEnd - r_.blockStart)) {
        problem("the blocks section runs past the file");
        return r_;
    }
    walk(r_.blockStart, r_.blockEnd, true);
    blockRecords();
    tail();
    if (checksummed()) viewports();
    return r_;
}

} // namespace

std::string Dwg12CheckResult::report() const {
    std::string text;
    for (const std::string& p : problems) text += p + "\n";
    return text;
}

Dwg12CheckResult checkDwg12Structure(std::span<const uint8_t> file) {
    return Checker(file).run();
}

Dwg12CheckResult checkDwg12File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return checkDwg12Structure(bytes);
}

} // namespace tracemill::test
