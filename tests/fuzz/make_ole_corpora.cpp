// Writes the seed corpora of the compound-file and metafile harnesses: compound files with the
// streams of embedded objects (small and large, a metafile and a bitmap inside), and metafiles
// with every record the player draws. Usage: make_ole_corpora DIR (writes DIR/compound_file
// and DIR/metafile). The files are committed; run it again only when the seeds should change.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/image/dib.h"
#include "compound_file_writer.h"
#include "metafile_writer.h"

using namespace tracemill;
using namespace tracemill::ole;
using test::MetafileWriter;

namespace {

void save(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> smallDib(bool fileImage) {
    CDib dib;
    dib.Create(3, 2, 8);
    std::vector<uint8_t> bytes;
    if (fileImage) {
        dib.Write(bytes);
        return bytes;
    }
    return PackedDibBytes(*dib.GetHandle());
}

std::vector<uint8_t> drawingMetafile() {
    MetafileWriter w;
    std::vector<uint8_t> squares;
    for (int16_t v : {0, 0, 8, 0, 8, 8, 0, 8, 2, 2, 6, 2, 6, 6, 2, 6}) {
        squares.push_back(uint8_t(v));
        squares.push_back(uint8_t(uint16_t(v) >> 8));
    }
    w.window(0, 0, 100, 80)
        .pen(0, 2, 0x0000FF)
        .brush(0, 0x00FF00)
        .select(0)
        .select(1)
        .record(kMetaCreateFontIndirect, {12, 0, 0, 0, 400, 0, 0, 0, 0})
        .record(kMetaSetPolyFillMode, {2})
        .record(kMetaMoveTo, {5, 5})
        .record(kMetaLineTo, {70, 90})
        .poly(kMetaPolyline, {0, 0, 50, 10, 90, 70})
        .poly(kMetaPolygon, {10, 10, 60, 20, 30, 70})
        .record(kMetaPolyPolygon, {2, 4, 4}, squares)
        .record(kMetaRectangle, {60, 90, 40, 50})
        .record(kMetaEllipse, {80, 100, 0, 0})
        .record(kMetaDeleteObject, {2})
        .record(kMetaStretchDib, {0x0020, 0x00CC, 0, 2, 3, 0, 0, 40, 60, 10, 10}, smallDib(false))
        .record(kMetaDibStretchBlt, {0x0020, 0x00CC, 2, 3, 0, 0, 20, 30, 50, 50}, smallDib(false))
        .record(kMetaDibBitBlt, {0x0046, 0x0066, 0, 0, 2, 3, 1, 1}, smallDib(false));
    return w.bytes();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_ole_corpora DIR\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "compound_file");
    std::filesystem::create_directories(root / "metafile");
    const std::vector<uint8_t> metafile = drawingMetafile();
    save(root / "metafile" / "drawing.wmf", metafile);
    MetafileWriter lines;
    lines.window(-10, -10, 20, 20).pen(5, 0, 0).brush(1, 0).select(0).select(1).poly(kMetaPolyline, {-10, -10, 10, 10});
    save(root / "metafile" / "null_pen_and_brush.wmf", lines.bytes());

    std::vector<uint8_t> presentation(40, 0);
    presentation.insert(presentation.end(), metafile.begin(), metafile.end());
    std::vector<uint8_t> native{0, 0, 0, 0};
    const std::vector<uint8_t> bmp = smallDib(true);
    native.insert(native.end(), bmp.begin(), bmp.end());
    save(root / "compound_file" / "presentation.ole",
         test::WriteCompoundFile({{test::StreamName("\x02OlePres000"), presentation}}).bytes);
    save(root / "compound_file" / "native.ole",
         test::WriteCompoundFile({{test::StreamName("\x01Ole10Native"), native}}).bytes);
    std::vector<uint8_t> large(5000, 0x5A);
    save(root / "compound_file" / "large_and_small.ole",
         test::WriteCompoundFile({{test::StreamName("\x01Ole10Native"), native}, {test::StreamName("\x02OlePres000"), large}})
             .bytes);
    return 0;
}
