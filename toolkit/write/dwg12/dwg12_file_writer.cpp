#include "toolkit/write/dwg12/dwg12_file_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/lwpolyline_conversion.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/read/dwg12_table_layouts.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/write/dwg12/dwg12_entity_writer.h"
#include "toolkit/write/dwg12/dwg12_header_writer.h"
#include "toolkit/write/dwg12/dwg12_table_writer.h"
#include "toolkit/write/dwg12/dwg12_write_state.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {
namespace {

// Collected output is written in pieces of this size.
constexpr size_t kFlushSize = 256 * 1024;
// "AC1009": the trailer block's first two words, and the number of tables it lists.
constexpr uint16_t kTrailerMark = 16;
constexpr uint16_t kTrailerTables = 10;
// The blocks section's size and the BLOCK records' entity offsets carry this flag.
constexpr uint32_t kSectionSizeFlag = 0x40000000u;
// Where a BLOCK record's entity offset stands.
constexpr size_t kBlockOffsetAt = 33;
constexpr size_t kBlockOffsetAtR12 = 35;
// A viewport entity header's link to the next one of the chain, and the numbers a chain holds.
constexpr size_t kViewportLinkAt = 39;
constexpr int16_t kLastChainNumber = 49;
// "AC1006": the 32-bit value at 0x518.
constexpr size_t kAc1006ContextValue = 0x518;

class Dwg12FileWriter {
  public:
    Dwg12FileWriter(const Drawing& drawing, OutputContext& output)
        : s_(drawing, output), d_(drawing), o_(output), v_(output.versionIndex) {}

    int write();

  private:
    bool checksums() const { return v_ >= 4; }
    int progress(int percent);
    int prepare();
    int headerBlock();
    int sentinel(const Dwg12Sentinel& bytes) { return !checksums() || s_.put(bytes.data(), bytes.size()); }
    int entityList(const EntityList* list, bool paperSpace);
    int entities();
    int beginTable(Dwg12Table table);
    int endTable(Dwg12Table table);
    int putRecord(Dwg12Table table, const std::vector<uint8_t>& record);
    template <class List, class Build> int table(Dwg12Table table, const List& list, Build build);
    int viewportEntityHeaders();
    int tables();
    int patchBlockRecord(int32_t position, uint64_t offset);
    // The handle of a BLOCK or ENDBLK made from a block record: its own, else one for the save.
    Handle frameHandle(Handle own) {
        if (!own.isNull()) return own;
        const Handle given = s_.seed;
        dbHandleIncrement(s_.seed);
        return given;
    }
    int block(int32_t position, const BlockNode& node);
    int blocks();
    void chainViewports();
    int trailer();
    int rewrite(uint64_t offset, const std::vector<uint8_t>& bytes);
    int finish();

    Dwg12WriteState s_;
    const Drawing& d_;
    OutputContext& o_;
    int v_;
    std::vector<uint8_t> header_;
    std::vector<uint8_t> record_;
    std::array<Dwg12TableHead, kDwg12TableCount> heads_{};
    const Dwg12Sentinel* pendingEnd_ = nullptr;
    std::vector<uint8_t> blockRecords_;
    std::vector<uint8_t> viewportHeaders_;
    uint16_t firstViewport_ = 0;
    uint64_t entityStart_ = 0;
    uint64_t entityEnd_ = 0;
    uint64_t blocksEnd_ = 0;
    uint64_t thirdEnd_ = 0;
    uint64_t fourthEnd_ = 0;
};

int Dwg12FileWriter::progress(int percent) {
    if (percent != s_.lastProgress) {
        s_.lastProgress = percent;
        dbReportSaveProgress(percent);
    }
    return 1;
}

// Handles for the save come from a copy of the seed: one per deleted block record (its stand-in
// block), then the run of converted LWPOLYLINEs, then the frames of blocks that lack them.
int Dwg12FileWriter::prepare() {
    dbClearHeaderNameRefs(const_cast<Drawing*>(&d_));
    Handle& seed = s_.seed;
    seed = d_.handleSeed;
    for (int32_t i = 0; i < s_.plan.deletedBlocks(); ++i) {
        s_.fakeBlockHandles.push_back(seed);
        dbHandleIncrement(seed);
    }
    if (!dbReserveLwpolyHandles(d_, seed, o_.lwpolyConversion)) return 0;
    if (d_.paperSpace) s_.entitiesToWrite += dbListCount(d_.paperSpace);
    if (d_.modelSpace) s_.entitiesToWrite += dbListCount(d_.modelSpace);
    return 1;
}

int Dwg12FileWriter::headerBlock() {
    Dwg12CurrentEntries current;
    if (!wrResolveHeaderIndexes(o_.header, s_.plan, current)) return 0;
    if (!wrDwg12HeaderBlock(o_.header, v_, current, header_)) return dbSetError(kErrorDwg12FieldOverflow);
    // Written at once, so that a file that cannot take its header block fails here.
    if (!s_.put(header_.data(), header_.size()) || !s_.flush()) return dbSetError(kErrorDwg12HeaderWrite);
    return 1;
}

int Dwg12FileWriter::entityList(const EntityList* list, bool paperSpace) {
    if (!list) return 1;
    s_.inPaperSpace = paperSpace;
    for (const EntityNode& node : *list) {
        if (!wrDwg12EntityStep(s_, node.record)) return 0;
        if (++s_.entitiesWritten % 10 == 0)
            progress(int(50 * s_.entitiesWritten / std::max<int64_t>(s_.entitiesToWrite, 1)));
    }
    return 1;
}

int Dwg12FileWriter::entities() {
    if (!sentinel(kDwg12EntitiesBegin)) return 0;
    entityStart_ = s_.position;
    if (!entityList(d_.paperSpace, true) || !entityList(d_.modelSpace, false)) return 0;
    s_.inPaperSpace = false;
    entityEnd_ = s_.position;
    pendingEnd_ = &kDwg12EntitiesEnd;
    return progress(50);
}

int Dwg12FileWriter::beginTable(Dwg12Table table) {
    if (!sentinel(*pendingEnd_) || !sentinel(kDwg12Tables[table].begin)) return 0;
    Dwg12TableHead& head = heads_[table];
    head.recordSize = kDwg12Tables[table].recordSize[size_t(v_)];
    head.offset = uint32_t(s_.position);
    head.count = 0;
    return s_.position <= UINT32_MAX ? 1 : dbSetError(kErrorDwg12FieldOverflow);
}

int Dwg12FileWriter::endTable(Dwg12Table table) {
    pendingEnd_ = &kDwg12Tables[table].end;
    return 1;
}

int Dwg12FileWriter::putRecord(Dwg12Table table, const std::vector<uint8_t>& record) {
    if (!s_.put(record.data(), record.size())) return 0;
    ++heads_[table].count;
    return 1;
}

template <class List, class Build> int Dwg12FileWriter::table(Dwg12Table table, const List& list, Build build) {
    if (!dbDwg12HasTable(v_, table)) return 1;
    if (!beginTable(table)) return 0;
    int32_t position = 0;
    for (const auto& node : list) {
        if (!build(node.record, position++, record_) || !putRecord(table, record_)) return 0;
    }
    return endTable(table);
}

// The viewport entity headers: a first record without a name, then one per entry of the
// viewport index whose VIEWPORT was written, the first named "1"; each with the VIEWPORT's
// offset and its number (status), which the chain replaces by its link.
int Dwg12FileWriter::viewportEntityHeaders() {
    if (!dbDwg12HasTable(v_, kDwg12ViewportEntityHeader)) return 1;
    if (!beginTable(kDwg12ViewportEntityHeader)) return 0;
    std::vector<std::pair<uint32_t, int16_t>> entries;
    for (const auto& node : d_.viewportIndex) {
        const EntityNode* viewport = node.record.node;
        if (!viewport) continue;
        const auto found = s_.viewportOffsets.find(&viewport->record);
        const auto* body = viewport->record.body.getIf<ViewportBody>();
        if (found == s_.viewportOffsets.end() || !body) continue;
        entries.emplace_back(found->second, body->status);
    }
    viewportHeaders_.clear();
    if (!entries.empty()) {
        entries.insert(entries.begin(), std::make_pair(0u, int16_t(0)));
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!wrDwg12ViewportEntityHeader(o_, i == 1 ? "1" : "", entries[i].first, entries[i].second, record_))
                return 0;
            viewportHeaders_.insert(viewportHeaders_.end(), record_.begin(), record_.end());
        }
        if (!s_.put(viewportHeaders_.data(), viewportHeaders_.size())) return 0;
        heads_[kDwg12ViewportEntityHeader].count = uint32_t(entries.size());
    }
    return endTable(kDwg12ViewportEntityHeader);
}

int Dwg12FileWriter::tables() {
    const Drawing& d = d_;
    const OutputContext& o = o_;
    const Dwg12TablePlan& plan = s_.plan;
    // BLOCK: the entity offsets are filled in by the blocks section.
    if (!beginTable(kDwg12Block)) return 0;
    blockRecords_.clear();
    for (size_t i = 0; i < plan.blocks().size(); ++i) {
        if (!wrDwg12BlockRecord(d, o, plan, plan.blocks()[i]->record, int32_t(i), record_) ||
            !putRecord(kDwg12Block, record_)) {
            return 0;
        }
        blockRecords_.insert(blockRecords_.end(), record_.begin(), record_.end());
    }
    endTable(kDwg12Block);
    // The tables whose records carry nothing but their layout's fields.
    auto plain = [&](const auto& r, int32_t at, std::vector<uint8_t>& out) {
        return wrDwg12TableRecord(d, o, r, at, out);
    };
    if (!table(kDwg12Layer, d.layers, [&](const LayerRecord& r, int32_t at, std::vector<uint8_t>& out) {
            return wrDwg12LayerRecord(d, o, plan, r, at, out);
        }) ||
        !table(kDwg12Style, d.styles, plain)) {
        return 0;
    }
    if (!beginTable(kDwg12Linetype)) return 0;
    for (size_t i = 0; i < plan.linetypes().size(); ++i) {
        if (!wrDwg12TableRecord(d, o, plan.linetypes()[i]->record, int32_t(i), record_) ||
            !putRecord(kDwg12Linetype, record_)) {
            return 0;
        }
    }
    endTable(kDwg12Linetype);
    if (!table(kDwg12View, d.views, plain) || !table(kDwg12Ucs, d.ucss, plain) ||
        !table(kDwg12Vport, d.vports, plain) || !table(kDwg12AppId, d.appIds, plain) ||
        !table(kDwg12DimStyle, d.dimStyles, [&](const DimStyleRecord& r, int32_t at, std::vector<uint8_t>& out) {
            return wrDwg12DimStyleRecord(d, o, plan, r, at, out);
        })) {
        return 0;
    }
    if (!viewportEntityHeaders()) return 0;
    return progress(55);
}

// The BLOCK record of a position learns where its block's entities start, relative to the
// blocks section; an offset beyond the 26 bits of the field fails the save.
int Dwg12FileWriter::patchBlockRecord(int32_t position, uint64_t offset) {
    uint32_t field = 0;
    if (!wrDwg12BlockOffsetField(offset, v_, field)) return dbSetError(kErrorDwg12FieldOverflow);
    const size_t size = heads_[kDwg12Block].recordSize;
    uint8_t* record = blockRecords_.data() + size_t(position) * size;
    putLe32(record + (checksums() ? kBlockOffsetAtR12 : kBlockOffsetAt), field);
    if (checksums()) wrStoreCrc(record, size, kDwg12Tables[kDwg12Block].crcXor);
    return 1;
}

// A block's BLOCK entity, its entities and its ENDBLK; a block whose list does not begin with
// its BLOCK gets them from its record.
int Dwg12FileWriter::block(int32_t position, const BlockNode& node) {
    if (!patchBlockRecord(position, s_.position - s_.blocksStart)) return 0;
    const BlockRecord& record = node.record;
    if (record.deleted) return wrDwg12FakeBlock(s_, position);
    const EntityList* list = node.entityList.get();
    if (!list) return dbSetError(kErrorDwg12NoEntityList);
    s_.currentBlock = position;
    const auto* first = list->first ? static_cast<const EntityNode*>(list->first) : nullptr;
    const bool framed = first && first->record.header.type == kEntityBlock;
    EntityRecord frame;
    if (!framed) {
        frame.header.type = kEntityBlock;
        frame.header.handle = frameHandle(record.blockEntity);
        frame.body = BlockBeginBody{record.name, record.basePoint, record.xrefPath};
        if (!wrDwgEntityR12(s_, frame)) return 0;
    }
    for (const EntityNode& entity : *list) {
        if (!wrDwg12EntityStep(s_, entity.record)) return 0;
        if (framed && entity.record.header.type == kEntityEndBlock) return 1;
    }
    if (framed) return 1;
    frame.header.type = kEntityEndBlock;
    frame.header.handle = frameHandle(record.endBlockEntity);
    frame.body = EntityBody{};
    return wrDwgEntityR12(s_, frame);
}

int Dwg12FileWriter::blocks() {
    if (!sentinel(*pendingEnd_) || !sentinel(kDwg12BlocksBegin)) return 0;
    s_.blocksStart = s_.position;
    s_.inBlocks = true;
    const auto& blocks = s_.plan.blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (!block(int32_t(i), *blocks[i])) return 0;
        progress(55 + int(40 * (i + 1) / blocks.size()));
    }
    s_.inBlocks = false;
    s_.currentBlock = -1;
    blocksEnd_ = s_.position;
    return 1;
}

// The chain of the viewport entity headers: from the record numbered 1 upward, each record links
// to the position of the record numbered one higher (0 at the end); every other record links to
// nothing. Positions are counted as the reader counts them: the first record is position 0.
void Dwg12FileWriter::chainViewports() {
    firstViewport_ = 0;
    const size_t size = kDwg12Tables[kDwg12ViewportEntityHeader].recordSize[size_t(v_)];
    const size_t count = viewportHeaders_.size() / std::max<size_t>(size, 1);
    auto numberAt = [&](size_t p) { return int16_t(getLe16(viewportHeaders_.data() + p * size + kViewportLinkAt)); };
    std::vector<int16_t> numbers(count, 0);
    for (size_t p = 1; p < count; ++p) numbers[p] = numberAt(p);
    auto positionOf = [&](int16_t number) -> size_t {
        for (size_t p = 1; p < count; ++p) {
            if (numbers[p] == number) return p;
        }
        return 0;
    };
    std::vector<uint16_t> links(count, 0);
    size_t at = positionOf(1);
    firstViewport_ = uint16_t(at);
    for (int16_t number = 2; at != 0 && number <= kLastChainNumber + 1; ++number) {
        const size_t next = number <= kLastChainNumber ? positionOf(number) : 0;
        links[at] = uint16_t(next);
        at = next;
    }
    for (size_t p = 1; p < count; ++p) {
        uint8_t* record = viewportHeaders_.data() + p * size;
        putLe16(record + kViewportLinkAt, links[p]);
        wrStoreCrc(record, size, kDwg12Tables[kDwg12ViewportEntityHeader].crcXor);
    }
}

int Dwg12FileWriter::trailer() {
    std::vector<uint8_t> t;
    t.reserve(kDwg12TrailerSize);
    auto u16 = [&](uint32_t value) {
        t.push_back(uint8_t(value));
        t.push_back(uint8_t(value >> 8));
    };
    auto u32 = [&](uint64_t value) {
        for (int i = 0; i < 4; ++i) t.push_back(uint8_t(value >> (8 * i)));
    };
    u16(kTrailerMark);
    u16(kDwg12TrailerSize);
    for (uint64_t offset : {entityStart_, entityEnd_, s_.blocksStart, thirdEnd_}) u32(offset);
    u16(uint16_t(o_.header.dwgcodepage));
    uint8_t seed[8];
    o_.header.handseed.toBigEndian(seed);
    t.insert(t.end(), seed, seed + 8);
    u16(kTrailerTables);
    for (int i = 0; i < kDwg12TableCount; ++i) {
        const Dwg12TableHead& head = heads_[size_t(i)];
        if (head.count > 0xFFFF) return dbSetError(kErrorDwg12FieldOverflow);
        u16(kDwg12Tables[size_t(i)].trailerNumber);
        u16(head.recordSize);
        u16(head.count);
        u32(head.offset);
    }
    u32(fourthEnd_);
    u16(0);
    wrStoreCrc(t.data(), t.size(), kDwg12TrailerCrcXor);
    return s_.put(t.data(), t.size()) && sentinel(kDwg12TrailerEnd);
}

int Dwg12FileWriter::rewrite(uint64_t offset, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return 1;
    if (!s_.flush()) return 0;
    if (!o_.file || dbOutFileSeek(o_.file.get(), long(offset), SEEK_SET) != 0) return dbSetError(kErrorWriteFailed);
    return wrPutBytes(o_, bytes.data(), bytes.size());
}

// wrDwgOldFinish: the end sentinels and the trailer ("AC1009"), then the header block learns the
// sections and the tables, and the BLOCK records, the viewport chain and the header block are
// rewritten in their places.
int Dwg12FileWriter::finish() {
    // The file's seed is one past the largest handle it carries: what the file names only by
    // position (table records) gets its handles from the seed when the file is read, so a
    // seed that counted the handles of those records would grow with every load and save.
    if (o_.header.handling != 0) {
        o_.header.handseed = s_.largestHandle;
        dbHandleIncrement(o_.header.handseed);
        for (const Dwg12HeaderField& f : dbDwg12HeaderFields()) {
            if (f.value == Dwg12HeaderValue::Handle && v_ >= f.firstVersion)
                o_.header.handseed.toBigEndian(header_.data() + f.offset);
        }
    }
    if (checksums()) {
        if (!sentinel(kDwg12BlocksEnd[0]) || !sentinel(kDwg12BlocksEnd[1])) return 0;
        thirdEnd_ = s_.position;
        if (!sentinel(kDwg12BlocksEnd[2])) return 0;
        fourthEnd_ = s_.position;
        if (!sentinel(kDwg12BlocksEnd[3]) || !trailer()) return 0;
    }
    const uint64_t fileLength = s_.position;
    if (fileLength > UINT32_MAX || blocksEnd_ - s_.blocksStart > kDwg12SectionSizeMask)
        return dbSetError(kErrorDwg12FieldOverflow);
    // "AC1002" and "AC1003" files keep 16 bits of each table's count.
    for (const Dwg12TableHead& head : heads_) {
        if (v_ <= 1 && head.count > 0xFFFF) return dbSetError(kErrorDwg12FieldOverflow);
    }
    uint8_t* h = header_.data();
    const std::string_view version = kVersionSignatures[size_t(v_)];
    std::memcpy(h, version.data(), kDwg12SignatureSize);
    putLe32(h + kDwg12EntityStartOffset, uint32_t(entityStart_));
    putLe32(h + kDwg12EntityEndOffset, uint32_t(entityEnd_));
    putLe32(h + kDwg12BlockStartOffset, uint32_t(s_.blocksStart));
    putLe32(h + kDwg12BlockSizeOffset, uint32_t(blocksEnd_ - s_.blocksStart) | kSectionSizeFlag);
    putLe32(h + kDwg12ExtraStartOffset, uint32_t(checksums() ? thirdEnd_ : fileLength));
    for (int i = 0; i < kDwg12TableCount; ++i) {
        if (!dbDwg12HasTable(v_, Dwg12Table(i))) continue;
        const Dwg12TableHead& head = heads_[size_t(i)];
        uint8_t* at = h + kDwg12Tables[size_t(i)].headOffset;
        putLe16(at, head.recordSize);
        putLe32(at + 2, head.count);
        putLe32(at + 6, head.offset);
    }
    if (v_ == 3) putLe32(h + kAc1006ContextValue, 0);
    if (checksums()) {
        chainViewports();
        putLe16(h + kDwg12FirstViewportOffset, firstViewport_);
        wrStoreCrc(h, header_.size(), kDwg12HeaderCrcXor);
    }
    if (!s_.flush() || !rewrite(heads_[kDwg12Block].offset, blockRecords_) ||
        !rewrite(heads_[kDwg12ViewportEntityHeader].offset, viewportHeaders_)) {
        return 0;
    }
    if (!rewrite(0, header_)) return dbSetError(kErrorDwg12HeaderWrite);
    return wrCloseOutput(o_);
}

int Dwg12FileWriter::write() {
    if (v_ < 0 || v_ >= kDwg12VersionCount) return dbSetError(kErrorSaveVersion);
    progress(0);
    return prepare() && headerBlock() && entities() && tables() && blocks() && finish();
}

} // namespace

int Dwg12WriteState::put(const void* bytes, size_t count) {
    output.pending.append(static_cast<const char*>(bytes), count);
    position += count;
    return output.pending.size() < kFlushSize ? 1 : wrFlushPending(output);
}

int Dwg12WriteState::flush() {
    return wrFlushPending(output);
}

bool wrDwg12BlockOffsetField(uint64_t offset, int versionIndex, uint32_t& field) {
    if (offset > kDwg12EntityOffsetMask) return false;
    field = uint32_t(offset) | (versionIndex >= 4 ? kSectionSizeFlag : 0);
    return true;
}

int wrResolveHeaderIndexes(const HeaderBlock& header, const Dwg12TablePlan& plan, Dwg12CurrentEntries& out) {
    const CurrentEntryHandles& current = header.current;
    out = Dwg12CurrentEntries{};
    auto position = [&](Dwg12Table table, Handle handle, int32_t none, int error, int32_t& to) {
        if (handle.isNull()) {
            to = none;
            return 1;
        }
        to = plan.position(table, handle);
        return to >= 0 ? 1 : dbSetError(error);
    };
    if (!position(kDwg12Layer, current.clayer, 0, kErrorDwg12NoLayer, out[Dwg12CurrentEntry::Layer]) ||
        !position(kDwg12Style, current.textstyle, 0, kErrorDwg12NoTextStyle, out[Dwg12CurrentEntry::TextStyle]) ||
        !position(kDwg12DimStyle, current.dimstyle, -1, kErrorDwg12NoDimStyle, out[Dwg12CurrentEntry::DimStyle]) ||
        !position(kDwg12Ucs, current.ucsname, -1, kErrorDwg12NoUcs, out[Dwg12CurrentEntry::Ucs]) ||
        !position(kDwg12Ucs, current.pucsname, -1, kErrorDwg12NoPaperUcs, out[Dwg12CurrentEntry::PaperUcs])) {
        return 0;
    }
    out[Dwg12CurrentEntry::Linetype] = plan.linetype(current.celtype);
    return out[Dwg12CurrentEntry::Linetype] >= 0 ? 1 : dbSetError(kErrorDwg12NoLinetype);
}

int WriteDwgOld(const Drawing& drawing, OutputContext& output) {
    Dwg12FileWriter writer(drawing, output);
    return writer.write();
}

} // namespace tracemill
