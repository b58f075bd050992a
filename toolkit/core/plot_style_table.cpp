#include "toolkit/core/plot_style_table.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/dictionary_entries.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

// Data is read and inflated in pieces of this size, so that memory follows the data a file
// really holds, not the sizes its head claims.
constexpr size_t kPieceSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

int noMemory() { return dbReportError(kErrorPlotStyleNoMemory, kErrorReasonNoMemory); }

// zlib takes its memory from the toolkit's allocator.
voidpf zlibAlloc(voidpf, uInt items, uInt size) {
    if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
    return dbMalloc(size_t(items) * size);
}

void zlibFree(voidpf, voidpf block) { dbFree(block); }

// Inflates the packed bytes until the unpacked size is produced or the stream ends. A stream
// whose packed bytes run out before either is damaged (truncated).
int inflateText(std::span<const uint8_t> packed, uint32_t unpackedSize, std::string& text) {
    z_stream z{};
    z.zalloc = zlibAlloc;
    z.zfree = zlibFree;
    const int init = inflateInit(&z);
    if (init != Z_OK) return init == Z_MEM_ERROR ? noMemory() : dbSetError(kErrorPlotStyleInflate);
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = uInt(packed.size());
    int result = Z_OK;
    while (text.size() < unpackedSize && result == Z_OK) {
        const size_t produced = text.size();
        const size_t piece = std::min<size_t>(unpackedSize - produced, kPieceSize);
        if (!dbAllocationAllowed()) {
            inflateEnd(&z);
            return noMemory();
        }
        text.resize(produced + piece);
        z.next_out = reinterpret_cast<Bytef*>(text.data() + produced);
        z.avail_out = uInt(piece);
        result = inflate(&z, Z_NO_FLUSH);
        text.resize(produced + piece - z.avail_out);
        if (result == Z_OK && z.avail_in == 0 && z.avail_out != 0) result = Z_BUF_ERROR;
    }
    inflateEnd(&z);
    if (result == Z_OK || result == Z_STREAM_END) return 1;
    return result == Z_MEM_ERROR ? noMemory() : dbSetError(kErrorPlotStyleInflate);
}

// The head and the packed data of a file: at most the packed size after the head, and only
// what the file holds.
int readFileBytes(const char* path, std::vector<uint8_t>& bytes) {
    FilePtr file(path ? std::fopen(path, "rb") : nullptr);
    if (!file) return dbSetError(kErrorPlotStyleFileOpen);
    if (!dbAllocationAllowed()) return noMemory();
    bytes.resize(size_t(kPlotStyleDataOffset));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (bytes.size() < size_t(kPlotStyleDataOffset)) return 1;
    const uint32_t packedSize = getLe32(bytes.data() + kPlotStylePackedSizeOffset);
    for (size_t left = packedSize; left > 0;) {
        const size_t start = bytes.size();
        if (!dbAllocationAllowed()) return noMemory();
        bytes.resize(start + std::min(left, kPieceSize));
        const size_t got = std::fread(bytes.data() + start, 1, bytes.size() - start, file.get());
        bytes.resize(start + got);
        if (got == 0) break;
        left -= got;
    }
    return 1;
}

template <class Match>
int findStyle(const PlotStyleTable* table, const PlotStyle*& out, Match match) {
    if (table) {
        for (const PlotStyle& style : table->styles) {
            if (match(style)) {
                out = &style;
                return 1;
            }
        }
    }
    return dbSetError(kErrorPlotStyleNotFound);
}

} // namespace

int dbPlotStyleTableFromBytes(std::span<const uint8_t> file, std::unique_ptr<PlotStyleTable>& out) {
    out.reset();
    try {
        if (file.size() < size_t(kPlotStyleDataOffset)) return dbSetError(kErrorPlotStyleShortFile);
        const uint32_t unpackedSize = getLe32(file.data() + kPlotStyleUnpackedSizeOffset);
        const uint32_t packedSize = getLe32(file.data() + kPlotStylePackedSizeOffset);
        if (unpackedSize == 0 || packedSize == 0) return dbSetError(kErrorPlotStyleSizeZero);
        const std::span<const uint8_t> data = file.subspan(size_t(kPlotStyleDataOffset));
        if (packedSize > data.size()) return dbSetError(kErrorPlotStyleShortFile);
        std::string text;
        if (!inflateText(data.first(packedSize), unpackedSize, text)) return 0;
        std::unique_ptr<PlotStyleTable> table = dbNewObject<PlotStyleTable>();
        if (!table) return noMemory();
        if (!dbParsePlotStyleText(text, *table)) return 0;
        out = std::move(table);
        return 1;
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
}

int dbReadPlotStyleTable(const char* path, std::unique_ptr<PlotStyleTable>& out) {
    out.reset();
    try {
        std::vector<uint8_t> bytes;
        if (!readFileBytes(path, bytes)) return 0;
        return dbPlotStyleTableFromBytes(bytes, out);
    } catch (const std::bad_alloc&) {
        return noMemory();
    }
}

int dbLinkPlotStyles(Drawing* drawing, PlotStyleTable* table) {
    if (!drawing || !table) return 1;
    for (const ObjectNode& node : drawing->objects) {
        const auto* dictionary = node.record.body.getIf<DictionaryBody>();
        if (!dictionary) continue;
        for (const DictionaryEntry& entry : dictionary->entries) {
            if (entry.name != "ACAD_PLOTSTYLENAME") continue;
            const ObjectNode* named = dbLookupNode(*drawing, drawing->objects, entry.handle);
            const std::vector<DictionaryEntry>* styles = named ? dbDictionaryEntriesOf(named->record) : nullptr;
            if (!styles) return 1;
            for (const DictionaryEntry& styleEntry : *styles) {
                for (PlotStyle& style : table->styles) {
                    if (style.localizedName == styleEntry.name) style.dictionaryHandle = styleEntry.handle;
                }
            }
            return 1;
        }
    }
    return 1;
}

int dbFindPlotStyle(Handle handle, const PlotStyleTable* table, const PlotStyle*& out) {
    if (handle.isNull()) return 1;
    return findStyle(table, out, [&](const PlotStyle& style) { return style.dictionaryHandle == handle; });
}

int dbFindPlotStyleByName(std::string_view name, const PlotStyleTable* table, const PlotStyle*& out) {
    return findStyle(table, out, [&](const PlotStyle& style) { return style.name == name; });
}

int dbFindPlotStyleByLocalizedName(std::string_view name, const PlotStyleTable* table, const PlotStyle*& out) {
    return findStyle(table, out, [&](const PlotStyle& style) { return style.localizedName == name; });
}

int dbFreePlotStyleTable(std::unique_ptr<PlotStyleTable>& table) {
    table.reset();
    return 1;
}

} // namespace tracemill
