#include "toolkit/write/dxf/dxf_stored_groups.h"

#include <algorithm>
#include <numbers>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/sat_transform.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg_bit_block.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {
namespace {

constexpr size_t kChunk = 127;

// The length of the longest start of `text` of at most `limit` bytes that ends on a character
// boundary of the code page (a lead byte takes its trail byte with it).
size_t pieceLength(std::string_view text, size_t limit, int codePage, bool allowOneMore) {
    size_t length = 0;
    while (length < text.size() && length < limit) {
        const bool lead = dbIsLeadByte(uint8_t(text[length]), codePage) && length + 1 < text.size();
        if (lead && length + 2 > limit && !allowOneMore) break;
        length += lead ? 2 : 1;
    }
    return length;
}

} // namespace

int wrObjectIdCode(uint8_t kind) {
    if (kind == 0) kind = 3;
    if (kind > 4) return 330;
    return (kind + 32) * 10;
}

int DxfObjectIdListWriter(OutputContext& output, std::span<const ObjectReference> references) {
    for (const ObjectReference& reference : references) {
        if (!wrDxfHandle(output, wrObjectIdCode(reference.kind), reference.handle)) return 0;
    }
    return 1;
}

int DxfGraphicsGroups(OutputContext& output, const OwnedStream& graphics, int sizeCode, bool whenEmpty) {
    if (!graphics && !whenEmpty) return 1;
    const std::span<const uint8_t> bytes = graphics.bytes();
    return wrDxfInt32(output, sizeCode, int32_t(bytes.size())) && wrDxfBinaryChunks(output, 310, bytes, kChunk);
}

int DxfGroupsFromBitData(OutputContext& output, const OwnedStream& data, std::span<const ObjectReference> references) {
    BitReader reader;
    if (!rdBitBlockReadBegin(reader, data.get())) return 0;
    size_t nextReference = 0;
    auto fail = [&] {
        rdBitBlockReadEnd(reader);
        return dbSetError(kErrorUnknownGroupCode);
    };
    for (;;) {
        uint16_t code = 0;
        rdBitBlockReadShort(reader, code);
        if (reader.overrun()) return fail();
        if (code == 0) break;
        int ok = 1;
        if ((code >= 10 && code <= 18) || code == 210) {
            Point3 p;
            rdBitBlockRead3Doubles(reader, p);
            ok = wrDxfDouble(output, code, p.x) && wrDxfDouble(output, code + 10, p.y) &&
                 wrDxfDouble(output, code + 20, p.z);
        } else if ((code >= 40 && code <= 49) || (code >= 140 && code <= 149)) {
            double value = 0.0;
            rdBitBlockReadDouble(reader, value);
            ok = wrDxfDouble(output, code, value);
        } else if (code >= 50 && code <= 59) {
            double value = 0.0;
            rdBitBlockReadDouble(reader, value);
            ok = wrDxfAngle(output, code, value);
        } else if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299)) {
            uint16_t value = 0;
            rdBitBlockReadShort(reader, value);
            ok = wrDxfInt16(output, code, int16_t(value));
        } else if (code >= 90 && code <= 99) {
            int32_t value = 0;
            rdBitBlockReadLong(reader, value);
            ok = wrDxfInt32(output, code, value);
        } else if ((code >= 1 && code <= 9) || code == 100 || code == 102 || (code >= 300 && code <= 309)) {
            std::string text;
            rdBitBlockReadText(reader, text);
            ok = wrDxfString(output, code, text);
        } else if (code >= 310 && code <= 319) {
            std::vector<uint8_t> bytes;
            uint16_t count = 0;
            rdBitBlockReadBytes(reader, bytes, count);
            ok = wrDxfBinaryChunks(output, code, bytes, kChunk);
        } else if (code >= 320 && code <= 329) {
            Handle handle;
            rdBitBlockReadHandle(reader, handle);
            ok = wrDxfHandle(output, code, handle);
        } else if (code >= 330 && code <= 369) {
            if (nextReference >= references.size()) break;
            ok = wrDxfHandle(output, code, references[nextReference++].handle);
        } else {
            return fail();
        }
        if (reader.overrun()) return fail();
        if (!ok) {
            rdBitBlockReadEnd(reader);
            return 0;
        }
    }
    rdBitBlockReadEnd(reader);
    return 1;
}

int DxfAcisDataWriter(OutputContext& output, const OwnedStream& satText, int codePage) {
    const std::span<const uint8_t> bytes = satText.bytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t at = 0;
    std::string piece;
    while (at < text.size()) {
        const size_t lineEnd = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = text.substr(at, lineEnd - at);
        size_t used = 0;
        do {
            const size_t length = pieceLength(line.substr(used), 255, codePage, false);
            piece.assign(line.substr(used, length));
            for (char& ch : piece) ch = char(dbSatTransform(uint8_t(ch)));
            used += length;
            const bool last = used >= line.size();
            if (!wrDxfString(output, last ? 1 : 3, piece)) return 0;
            if (length == 0) break;
        } while (used < line.size());
        at = lineEnd;
        // A line ends in CR, LF or CR LF.
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    return 1;
}

int DxfMTextContentsWriter(OutputContext& output, std::string_view text, int codePage) {
    size_t at = 0;
    do {
        const size_t length = pieceLength(text.substr(at), 249, codePage, true);
        std::string piece(text.substr(at, length));
        std::erase(piece, '\n');
        at += length;
        const bool last = at >= text.size();
        if (!wrDxfEscapedString(output, last ? 1 : 3, piece, codePage)) return 0;
        if (length == 0) break;
    } while (at < text.size());
    return 1;
}

} // namespace tracemill
