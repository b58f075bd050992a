// The plain-text form of a clipper polygon. Numbers are read and written in the C locale's
// form whatever the process locale. Reading trusts no count: points are taken as they come, so
// memory grows only with what the file holds.
#include <charconv>
#include <cstdint>
#include <new>
#include <string>
#include <system_error>

#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/polygon_clipper.h"
#include "toolkit/display/display_memory.h"

namespace tracemill {
namespace {

class TokenReader {
  public:
    explicit TokenReader(std::FILE* file) : file_(file) {}

    // The next run of characters between white space; false at the end of the file.
    bool next(std::string& token) {
        token.clear();
        int c = std::fgetc(file_);
        while (c != EOF && isBlank(c))
            c = std::fgetc(file_);
        while (c != EOF && !isBlank(c)) {
            token.push_back(char(c));
            c = std::fgetc(file_);
        }
        return !token.empty();
    }

    bool readInteger(int64_t& value) {
        if (!next(token_)) return false;
        const char* first = token_.data();
        const char* last = first + token_.size();
        if (first != last && *first == '+') ++first;
        const auto [end, error] = std::from_chars(first, last, value);
        return error == std::errc() && end == last;
    }

    bool readNumber(double& value) {
        if (!next(token_)) return false;
        const char* first = token_.data();
        const char* last = first + token_.size();
        bool negative = false;
        if (first != last && (*first == '+' || *first == '-')) negative = *first++ == '-';
        if (first != last && *first == '-') return false; // a second sign
        std::chars_format format = std::chars_format::general;
        if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
            first += 2;
            format = std::chars_format::hex;
        }
        // A number beyond the range of a double is refused like any other bad number.
        const auto [end, error] = std::from_chars(first, last, value, format);
        if (error != std::errc() || end != last) return false;
        if (negative) value = -value;
        return true;
    }

  private:
    static bool isBlank(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    std::FILE* file_;
    std::string token_;
};

bool readPolygon(TokenReader& reader, bool holeFlags, LoopSet& polygon) {
    int64_t contours = 0;
    if (!reader.readInteger(contours) || contours < 0 || contours > INT32_MAX) return false;
    for (int64_t c = 0; c < contours; ++c) {
        int64_t vertices = 0;
        int64_t hole = 0;
        if (!reader.readInteger(vertices) || vertices < 0 || vertices > INT32_MAX) return false;
        if (holeFlags && (!reader.readInteger(hole) || hole < INT32_MIN || hole > INT32_MAX)) return false;
        genRequireAllocation();
        Loop& loop = polygon.loops.emplace_back();
        loop.hole = int32_t(hole);
        for (int64_t v = 0; v < vertices; ++v) {
            Point2 p;
            if (!reader.readNumber(p.x) || !reader.readNumber(p.y)) return false;
            if (loop.points.size() == loop.points.capacity()) genRequireAllocation();
            loop.points.push_back(p);
        }
    }
    return true;
}

// "% .15f": fifteen decimals, a blank where a non-negative number has no sign.
bool writeCoordinate(std::FILE* file, double value, char after) {
    char text[400];
    text[0] = ' ';
    const auto [end, error] =
        std::to_chars(text + 1, text + sizeof text - 1, value, std::chars_format::fixed, 15);
    if (error != std::errc()) return false;
    const char* first = text[1] == '-' ? text + 1 : text;
    *end = after;
    return std::fwrite(first, 1, size_t(end + 1 - first), file) == size_t(end + 1 - first);
}

} // namespace

int genClipReadPolygon(std::FILE* file, bool holeFlags, LoopSet& polygon) {
    LoopSet read;
    bool ok = false;
    if (file) {
        try {
            TokenReader reader(file);
            ok = readPolygon(reader, holeFlags, read);
        } catch (const std::bad_alloc&) {
            dbNotifyError(kErrorReasonNoMemory);
        }
    }
    polygon = ok ? std::move(read) : LoopSet{};
    return ok ? 1 : 0;
}

int genClipWritePolygon(std::FILE* file, bool holeFlags, const LoopSet& polygon) {
    if (!file) return 0;
    bool ok = std::fprintf(file, "%zu\n", polygon.loops.size()) > 0;
    for (const Loop& loop : polygon.loops) {
        if (!ok) break;
        ok = std::fprintf(file, "%zu\n", loop.points.size()) > 0;
        if (ok && holeFlags) ok = std::fprintf(file, "%d\n", int(loop.hole)) > 0;
        for (const Point2& p : loop.points) {
            if (!ok) break;
            ok = writeCoordinate(file, p.x, ' ') && writeCoordinate(file, p.y, '\n');
        }
    }
    return ok && !std::ferror(file) ? 1 : 0;
}

} // namespace tracemill
