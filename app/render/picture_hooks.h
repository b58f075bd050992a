// The hooks of raster images and embedded pictures of the screen, print and DC hook sets:
// the raster-image hook finds an IMAGE entity's picture file and hands it to display
// generation as a BMP file image; the raster-data hooks draw the pixel runs display generation
// sends back; the picture hooks draw an embedded object's picture (a bitmap or a metafile)
// inside its boundary. All draw on the target device context of the GDI output state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

struct PictureRecord;

// Kinds of a picture stream (its first byte).
inline constexpr uint8_t kPictureMetafile = 0;
inline constexpr uint8_t kPictureBitmap = 1;

// The file a raster image names: as it is; else its file part along the CAD support folder,
// the folder of the host's drawing, the font search directories, the program folder and the
// current directory; else the name taken relative to the folder of the host's drawing
// ("..\img\photo.png").
std::optional<std::string> FindRasterImageFile(const char* name, HostWord host);

// The file as a BMP file image: ".bmp" as it is, ".jpg" and ".jpeg" through the JPEG file
// class, other formats through LoadImageFileAsDib. None when it cannot be read or decoded, or
// the result does not begin with "BM".
std::optional<std::vector<uint8_t>> RasterImageFileAsBmp(const std::string& path);

// Hook 16: `picture` gets a new stream (page size 4,096) holding the BMP file image of the
// raster image file, or stays null (the toolkit then draws the frame alone).
void LoadRasterImageHook(const char* fileName, PagedStream*& picture, HostWord host);

// Hook 17 of the screen set: each pixel on the target, in the colour mode of the host's
// drawing object.
void ScreenRasterData(const uint8_t* block, uint32_t byteCount, HostWord host);
// Of the print set: every position turned and shifted onto the page; nothing while the
// print output flag is clear.
void PrintRasterData(const uint8_t* block, uint32_t byteCount, HostWord host);
// Of the DC set: each pixel into the target in its colour and into the mask in white.
void DcRasterData(const uint8_t* block, uint32_t byteCount, HostWord host);

// Hook 18 of the screen set: the picture of the record stretched into its rectangle (the
// first corner the picture's top left), clipped to the record's boundary. Kind 1, a BMP file
// image, is stretched; kind 0, a metafile, is played onto white. Nothing without a host word.
void ScreenPictureHook(const PictureRecord& picture, HostWord host);
// Of the print set: the rectangle and boundary turned and shifted onto the page, the picture
// placed there upright; nothing while the print output flag is clear.
void PrintPictureHook(const PictureRecord& picture, HostWord host);
// Of the DC set: the picture into the target, its boundary filled white in the mask.
void DcPictureHook(const PictureRecord& picture, HostWord host);

} // namespace tracemill
