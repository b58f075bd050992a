// The raster-image hook (hook 16) and the raster-data hooks (hook 17) of the screen, print and
// DC sets.
#include <fstream>
#include <optional>
#include <span>
#include <iterator>
#include <vector>

#include "app/image/dib.h"
#include "app/image/jpeg_file.h"
#include "app/render/drawing_object.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"
#include "app/render/support_file_search.h"
#include "app/services/file_paths.h"
#include "app/services/image_file_loader.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/paged_stream.h"

namespace tracemill {
namespace {

constexpr int kPictureStreamPageSize = 4096;

std::optional<std::vector<uint8_t>> wholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

int16_t colourModeOfHost(HostWord host) {
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    return drawingObject ? drawingObject->GetColorMode() : kColorModeColors;
}

// The paints of one block, in a buffer reused from call to call.
std::vector<RasterPaint>& readBlock(const uint8_t* block, uint32_t byteCount, HostWord host) {
    static std::vector<RasterPaint> paints;
    paints.clear();
    if (block && byteCount)
        GetRasterDataReader().read({block, byteCount}, colourModeOfHost(host), GetGdiOutputState().clip, paints);
    return paints;
}

// Pixels set in their colour, quadrilaterals filled and outlined with a pen and brush of
// theirs (`white` for all of them when given); the context's pen and brush are put back.
void paintRaster(gdi::DeviceContext& dc, std::span<const RasterPaint> paints, std::optional<gdi::ColorRef> white) {
    const gdi::Pen pen = dc.pen();
    const gdi::Brush brush = dc.brush();
    std::optional<gdi::ColorRef> selected;
    for (const RasterPaint& paint : paints) {
        const gdi::ColorRef colour = white.value_or(paint.colour);
        if (!paint.quad) {
            dc.setPixel(paint.corners[0], colour);
            continue;
        }
        if (selected != colour) {
            dc.selectPen(SolidPen(0, colour));
            dc.selectBrush(SolidBrush(colour));
            selected = colour;
        }
        dc.polygon(paint.corners);
    }
    if (selected) {
        dc.selectPen(pen);
        dc.selectBrush(brush);
    }
}

} // namespace

std::optional<std::string> FindRasterImageFile(const char* name, HostWord host) {
    if (!name || !*name) return std::nullopt;
    std::string found;
    if (FindSupportFile(name, found, host)) return found;
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    const std::string given = name;
    if (!drawingObject || given.front() == '/' || given.front() == '\\' || dbHasDrivePrefix(given)) return std::nullopt;
    const std::string folder = GetPathFolder(drawingObject->GetSourcePath());
    if (folder.empty()) return std::nullopt;
    if (std::optional<std::string> relative = dbResolveFileName(folder + given)) return relative;
    // A drawing moved away from the folders its name climbs out of keeps the rest of the path
    // beside it: "..\img\photo.png" as "img/photo.png".
    size_t rest = 0;
    for (size_t separator; (separator = given.find_first_of("\\/", rest)) != std::string::npos;) {
        const std::string_view part = std::string_view(given).substr(rest, separator - rest);
        if (part != "." && part != "..") break;
        rest = separator + 1;
    }
    if (rest == 0) return std::nullopt;
    return dbResolveFileName(folder + given.substr(rest));
}

std::optional<std::vector<uint8_t>> RasterImageFileAsBmp(const std::string& path) {
    const std::string extension = GetPathExt(path);
    std::optional<std::vector<uint8_t>> image;
    if (dbEqualsNoCase(extension, ".jpg") || dbEqualsNoCase(extension, ".jpeg")) {
        JpegFile jpeg;
        std::vector<uint8_t> bytes;
        if (!jpeg.Load(path) || !jpeg.GetDib()) return std::nullopt;
        CDib dib;
        if (!dib.CreateFromPackedDib(*jpeg.GetDib()->GetHandle()) || !dib.Write(bytes)) return std::nullopt;
        image = std::move(bytes);
    } else if (dbEqualsNoCase(extension, ".bmp")) {
        image = wholeFile(path);
    } else {
        image = LoadImageFileAsDib(path);
    }
    if (!image || image->size() < 2 || (*image)[0] != 'B' || (*image)[1] != 'M') return std::nullopt;
    return image;
}

void LoadRasterImageHook(const char* fileName, PagedStream*& picture, HostWord host) {
    picture = nullptr;
    const std::optional<std::string> path = FindRasterImageFile(fileName, host);
    if (!path) return;
    const std::optional<std::vector<uint8_t>> image = RasterImageFileAsBmp(*path);
    if (!image) return;
    PagedStream* stream = dbStreamCreate(kPictureStreamPageSize);
    OpenStream* out = stream ? dbStreamOpenWrite(stream) : nullptr;
    const bool written = out && dbStreamPutBytes(out, image->data(), image->size());
    if (out) dbStreamCloseWrite(out);
    if (!written) {
        dbStreamDestroy(stream);
        return;
    }
    picture = stream;
}

void ScreenRasterData(const uint8_t* block, uint32_t byteCount, HostWord host) {
    const std::vector<RasterPaint>& paints = readBlock(block, byteCount, host);
    gdi::DeviceContext* dc = GetGdiOutputState().target;
    if (!dc) return;
    paintRaster(*dc, paints, std::nullopt);
}

void PrintRasterData(const uint8_t* block, uint32_t byteCount, HostWord host) {
    // The reader goes on even while nothing is printed, so that it keeps its place.
    std::vector<RasterPaint>& paints = readBlock(block, byteCount, host);
    const GdiOutputState& state = GetGdiOutputState();
    if (!state.printOutput || !state.target) return;
    for (RasterPaint& paint : paints)
        for (gdi::Point& corner : paint.corners) corner = PrintPagePoint(corner.x, corner.y);
    paintRaster(*state.target, paints, std::nullopt);
}

void DcRasterData(const uint8_t* block, uint32_t byteCount, HostWord host) {
    const std::vector<RasterPaint>& paints = readBlock(block, byteCount, host);
    if (paints.empty()) return;
    const gdi::ColorRef white = GetGdiOutputState().whitePen.color;
    DrawInTargetAndMask([&](gdi::DeviceContext& dc, bool isMask) {
        paintRaster(dc, paints, isMask ? std::optional(white) : std::nullopt);
    });
}

} // namespace tracemill
