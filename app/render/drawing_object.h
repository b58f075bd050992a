// The application's drawing object: its handle on one toolkit drawing and everything the
// program keeps beside it (source path and password, the view with its history, the layouts
// with their remembered views, the colour mode with its palette, the work records of the table
// walks). It is the host word the hook sets receive during a pass (with the device hook set,
// the first member of the pair in hook_sets.h).
//
// Where the members are defined:
//   drawing_object.cpp     construction, open, save as, preview, display context, colour mode
//   drawing_view.cpp       device and world points, zoom, pan, history, extents, view state
//   view_rect_fitting.cpp  the view operations on device rectangles the drivers share
//   viewpoint.cpp          3D viewpoint angles, the UCS icon setting, views written back
//   layouts.cpp            the layout list, the layout switch, the plot area of a layout
//   property_lists.cpp     the layer and linetype rows of the drawing-property dialogs
//   paper_sheet.cpp        the background and the paper sheet of a paper layout
//   ucs_icon.cpp           the UCS icon drawn over the picture
//   draw_drivers.cpp       the draw, layout, print and device drivers
// Vector and raster export (vector_export.h, raster_export.h) drive it from outside.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/render/screen_colors.h"
#include "platform/gdi/gdi_types.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/point.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

struct Drawing;
struct HeaderBlock;
class CDib;
namespace gdi {
class DeviceContext;
}
namespace render {
class COutputDevice;
}

// Colour modes: 1 black and white, 2 grey, any other value 256 colours.
inline constexpr int16_t kColorModeBlackWhite = 1;
inline constexpr int16_t kColorModeGray = 2;
inline constexpr int16_t kColorModeColors = 3;

// Results of CDrawingObject::Open besides the conversion library's own codes.
inline constexpr int16_t kOpenDone = 0;
inline constexpr int16_t kOpenUnreadable = 1;
inline constexpr int16_t kOpenNoDisplay = 2;

// A layer as the layer page of the drawing-property dialog shows it.
struct LayerListRow {
    std::string name;
    bool on = true;
    int16_t colorIndex = 7;  // the absolute colour index
    std::string linetype;
    friend bool operator==(const LayerListRow&, const LayerListRow&) = default;
};

// A linetype as the linetype page shows it.
struct LinetypeListRow {
    std::string name;
    std::string description;
    friend bool operator==(const LinetypeListRow&, const LinetypeListRow&) = default;
};

// The plot area of a paper layout in drawing units: minimum and maximum corner (z 0) and size.
struct PlotArea {
    Point3 min;
    Point3 max;
    double width = 0.0;
    double height = 0.0;
};

class CDrawingObject {
public:
    CDrawingObject();
    virtual ~CDrawingObject();
    CDrawingObject(const CDrawingObject&) = delete;
    CDrawingObject& operator=(const CDrawingObject&) = delete;

    // ---- Open and save (drawing_object.cpp).

    // The scratch records of the table walks; 0 (the object then walks no table) when they
    // cannot be allocated.
    int16_t AllocWorkBuffers();
    void FreeWorkBuffers();
    // A new empty "AC1015" drawing (DWGCODEPAGE 12) in place of none; true when made.
    bool CreateEmptyDrawing();
    // 0 opened; 1 the file cannot be read (by the toolkit, nor after its conversion); 2 no
    // display context; any other value is the conversion library's refusal. A failed open
    // leaves the object closed and no temporary file behind.
    int16_t Open(const char* path, ProgressCallback progress, bool drawNow, const char* password);
    // Why the last Open failed, in English without the file's name: the system's reason when
    // the file cannot be read, else the reader's or the conversion library's (with the error
    // number); empty after an Open that succeeded. Open's result alone cannot tell: the
    // library's "source refused" has the number of "no display context".
    const std::string& GetOpenFailure() const { return openFailure_; }
    // 0 when the conversion library wrote `target` from the source file; otherwise the
    // toolkit writer's result for the drawing in memory (1 written, 0 failed). a4 to a7 go to
    // the writer unchanged (the save command passes 1, 6, 0, 1).
    int16_t SaveAs(const char* target, bool asDxf, int16_t versionIndex, uint16_t a4, uint16_t a5, uint16_t a6,
                   uint8_t a7, ProgressCallback progress);
    // The preview bitmap a drawing file carries, read into `dib`; false when there is none.
    bool LoadDrawingPreview(const char* path, CDib* dib);

    // ---- Display context and colour mode (drawing_object.cpp).
    void CloseDrawing();
    int16_t IsOpen() const { return openFlag_; }
    // Device rectangle (0, 0, 500, 400) and client size 500 x 400.
    void InitDeviceRect();
    // Makes the display context again for the current view and layout.
    void BeginDisplay();
    // The colour mode and the working colour table it draws with; the rotating slots of the
    // pen cache are emptied.
    void SetColorMode(int16_t mode);
    int16_t GetColorMode() const { return colorMode_; }
    const ColorTable& GetPalette() const { return *palette_; }

    // ---- Device and world points, zoom, pan, history, extents (drawing_view.cpp). Device
    // points have y upwards; the operations taking window points flip them against the
    // bottom of the device rectangle.
    void DeviceToWorld(int32_t x, int32_t y, Point3* world) const;
    void WorldToDevice(const Point3* world, int32_t* x, int32_t* y) const;
    void ResetViewCache();
    void ZoomIn(bool pushHistory);
    void ZoomOut(bool pushHistory);
    void ZoomInAt(int32_t x, int32_t y, bool pushHistory);
    void ZoomOutAt(int32_t x, int32_t y, bool pushHistory);
    void PanRight();
    void PanLeft();
    void PanUp();
    void PanDown();
    void Pan(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool pushHistory);
    void ZoomWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    int16_t PushViewHistory();
    int16_t ZoomPrevious();
    bool CanZoomPrevious() const { return !viewHistory_.empty(); }
    size_t GetViewHistoryCount() const { return viewHistory_.size(); }
    void ClearViewHistory() { viewHistory_.clear(); }
    // The width-to-height ratio of what the drawing draws (1 when it draws nothing); leaves the
    // view on the extents at the size of the extents pass.
    double GetExtentsAspect();
    // Completes a size given in one dimension from the extents' ratio (at least 2).
    void FitSizeToExtents(int32_t* width, int32_t* height);
    // Device rectangle (0, 0, cx, cy) and the view zoomed to the extents; a size without area
    // changes nothing.
    void SetClientSize(int32_t cx, int32_t cy);
    void SaveViewState();
    void RestoreViewState();

    // ---- View operations of the drivers and of zoom window and pan (view_rect_fitting.cpp).
    // Device points as the device rectangle has them.
    void CentreViewOnRect(const gdi::Point* p1, const gdi::Point* p2, ViewBlock* view);
    void PanByPixels(const gdi::Point* from, const gdi::Point* to, ViewBlock* view);
    void FitViewToRect(const gdi::Point* p1, const gdi::Point* p2, ViewBlock* view);
    // The view of a window picked on the device, shown on a target of width x height.
    void SetViewToWindow(const gdi::Point* p1, const gdi::Point* p2, int32_t width, int32_t height);
    void PixelsToUnits(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double* dx, double* dy) const;
    // Pushes the view and turns it to preset view 0 to 9 (another index only pushes); the
    // result of genPrepareView.
    int16_t SetPresetView(int16_t index);

    // ---- Viewpoint, UCS icon, views written back into the drawing (viewpoint.cpp).
    static void GetViewpointAngles(const ViewBlock* view, double* inXY, double* fromXY);
    void SetViewpointAngles(double inXY, double fromXY);
    uint16_t GetUcsIconState();
    void SetUcsIconState(uint16_t value);
    void WriteActiveViewport();
    void WriteViewToViewport(const ViewBlock* view, VportRecord* record) const;

    // ---- Layouts (layouts.cpp).
    void BuildLayoutList();
    void SetActiveLayout(int32_t index);
    // The names of the layouts; the current index (-1 when not open).
    int32_t GetLayoutNames(std::vector<std::string>* names);
    std::string GetActiveLayoutName() const;
    // Index -1 is the current layout. 1 with the plot area of a paper layout; 0 when not open,
    // without paper layouts or for an index outside 1 to count - 1.
    int16_t GetLayoutPaperSize(int32_t index, double* width, double* height) const;
    int16_t GetLayoutPlotSettings(int32_t index, double block[8]) const;
    int32_t GetLayoutCount() const { return layoutCount_; }
    int32_t GetCurrentLayoutIndex() const { return currentLayout_; }
    // True while a paper layout is shown (more than one layout and the current one not 0).
    bool IsPaperLayoutCurrent() const { return layoutCount_ > 1 && currentLayout_ > 0; }
    // Widens the view (of the given width over height) to hold the current paper layout's sheet.
    void TakeSheetIntoView(double aspect);
    // On a paper layout, the outlines of the sheet and of its printable area in colour 7 through
    // the output hooks installed (a vector file has no background that shows the sheet).
    void DrawSheetThroughHooks();

    // ---- Layer and linetype rows of the drawing-property dialogs (property_lists.cpp).
    void FillLayerList(std::vector<LayerListRow>* rows);
    // Writes the rows back into the layers, in the order FillLayerList gave them; the layer count.
    int32_t ApplyLayerList(const std::vector<LayerListRow>& rows);
    void FillLinetypeList(std::vector<LinetypeListRow>* rows);
    void FillLinetypeCombo(std::vector<std::string>* names, bool withByLayerBlock);
    int FindLinetypeHandle(const std::string& name, Handle* handle);
    int GetLinetypeRecord(Handle handle, LinetypeRecord* record);
    int UpdateLinetypeRecord(const LinetypeRecord& record);
    int GetCurrentLinetypeHandle(Handle* handle);
    int AddLinetypeRecord(const LinetypeRecord& record);

    // ---- Drivers (draw_drivers.cpp): one pass of the entity walk onto a target. Each returns
    // with the object as it found it apart from what its own steps keep.
    //
    // The current view into a device context of width x height pixels: background (and on a
    // paper layout, with `paper`, the sheet), the walk with pens `penWidth` pixels wide, the
    // UCS icon when asked. Without `keepView` the fitted view and its device rectangle stay.
    // Always 0; nothing is drawn for a target of a pixel or less, without a drawing or context.
    int16_t DrawToDC(gdi::DeviceContext* dc, int32_t width, int32_t height, bool keepView, bool drawUcsIcon,
                     bool paper, int32_t penWidth);
    // One paper layout (-1: the current one) whole on white at pixelsPerUnit pixels a paper unit,
    // from the top left of `dc`. Always 0; nothing is drawn for model space or an index outside
    // the paper layouts.
    int16_t DrawToMappedDC(gdi::DeviceContext* dc, int32_t layout, double pixelsPerUnit, int32_t penWidth);
    // The window between two drawing points of the current view onto a printer page at
    // pixelsPerUnit pixels a drawing unit, turned by `rotation` quarter turns and shifted by the
    // offset, in `colourMode`, with the pen table's widths (inches) at pixelsPerMm. Always 0.
    int16_t Print(gdi::DeviceContext* dc, const Point3& corner1, const Point3& corner2, double unused1,
                  double unused2, double pixelsPerUnit, int16_t rotation, int32_t offsetX, int32_t offsetY,
                  int16_t colourMode, uint16_t pixelsPerMm);
    // The current view into an output device as a picture of width x height device units (the
    // device scale applied); 1 when the device's file was written, 0 for a size below 1, a
    // device that cannot begin or end, or a walk that failed (then no part of a file is left).
    int32_t ExportToDevice(const char* fileName, int32_t width, int32_t height, render::COutputDevice* device);

    // ---- What the screen shows around the entities (paper_sheet.cpp, ucs_icon.cpp).
    void DrawPaperBackground(gdi::DeviceContext& dc, int32_t width, int32_t height, bool paper);
    void DrawUcsIcon(gdi::DeviceContext& dc, int32_t width, int32_t height);

    // ---- State the drivers, the canvas and the tests read.
    const ViewBlock& GetView() const { return view_; }
    void SetView(const ViewBlock& view) { view_ = view; }
    double GetLastViewWidth() const { return lastViewWidth_; }
    double GetLastViewHeight() const { return lastViewHeight_; }
    void SetLastViewSize(double width, double height) {
        lastViewWidth_ = width;
        lastViewHeight_ = height;
    }
    const HostRect& GetDeviceRect() const { return deviceRect_; }
    void SetDeviceRect(const HostRect& rect) { deviceRect_ = rect; }
    int32_t GetClientWidth() const { return clientWidth_; }
    int32_t GetClientHeight() const { return clientHeight_; }
    // The header variable TILEMODE as the drawing had it when opened.
    int16_t GetKeptTileMode() const { return keptTileMode_; }
    HeaderBlock* GetHeaderBlock() const { return header_; }
    const Handle& GetLayoutBlockHandle() const { return layoutBlock_; }

    // The path and password the drawing was opened with (empty for none).
    const std::string& GetSourcePath() const { return sourcePath_; }
    void SetSourcePath(std::string path) { sourcePath_ = std::move(path); }
    const std::string& GetPassword() const { return password_; }
    void SetPassword(std::string password) { password_ = std::move(password); }

    // The toolkit drawing shown; null while none is open. A drawing set here without Open is
    // the caller's to free.
    Drawing* GetDrawing() const { return drawing_; }
    void SetDrawing(Drawing* drawing) { drawing_ = drawing; }

    // Set by the user interface to abandon an open or a regeneration of this drawing.
    uint8_t GetStopFlag() const { return stopFlag_; }
    void SetStopFlag(uint8_t stop) { stopFlag_ = stop; }

    // The window a screen regeneration draws for: while one is attached, a long regeneration
    // asks it now and then to show the partly drawn back buffer.
    void AttachWindow(std::function<void()> repaintFromBackBuffer) { repaintWindow_ = std::move(repaintFromBackBuffer); }
    void DetachWindow() { repaintWindow_ = nullptr; }
    bool HasWindow() const { return bool(repaintWindow_); }
    void RepaintWindow() const {
        if (repaintWindow_) repaintWindow_();
    }
    // The tick count of the last partial repaint.
    uint32_t GetLastBlitTick() const { return lastBlitTick_; }
    void SetLastBlitTick(uint32_t tick) { lastBlitTick_ = tick; }

protected:
    // The records the table walks read into.
    struct WorkRecords {
        LayerRecord layer;
        LinetypeRecord linetype;
        VportRecord vport;
        ObjectRecord object;
        BlockRecord block;
    };

    // genPrepareView of the object's view, device rectangle and cache rectangle.
    int16_t PrepareView();
    // The drawing's folder made the folder the support-file search starts in.
    void StoreDrawingFolder() const;
    // One entity walk under the null hook set (which settles the view), then the screen set.
    void SettleViewWithNullPass();
    // Zoom by a factor, about the view's centre or keeping the drawing point under a window
    // pixel where it is.
    void ScaleView(double factor, bool pushHistory);
    void ScaleViewAt(int32_t x, int32_t y, double factor, bool pushHistory);
    // Pushes the view and pans it by parts of the last applied view width and height.
    void PanByParts(double widthParts, double heightParts);
    // The plot area of layout record `index` (which must exist).
    PlotArea LayoutPlotArea(int32_t index) const;
    // The aspect fit of every pass: the view takes the device's height-to-width ratio and holds
    // the last applied view (which stays as it is).
    void FitViewToAspect(double ratio);
    // Device rectangle of a pass onto width x height pixels: (0, 0, width - 1, height - 1), a
    // side of 2 or less giving 1.
    void SetPassDeviceRect(int32_t width, int32_t height);
    // The view's size made that of the window between two device points (and the last applied
    // size with it).
    void SizeViewToWindow(const gdi::Point& p1, const gdi::Point& p2);
    // The device rectangle into the GDI output state (its clip, width and height).
    void CopyDeviceRectToOutputState() const;
    // The GDI output state of a pass: pen width, line weights shown, the device rectangle.
    void StartPassState(int32_t penWidth) const;
    // The entity walk onto `dc`, its y upwards turned down with the window origin at
    // `originY`; false when the walk raised an exception. Printing always maps; other passes
    // leave the mapping to the DC hook set while it draws into a mask.
    bool RunWalk(gdi::DeviceContext& dc, bool print, int32_t originY);

    // The view shown and its size at the last full regeneration.
    ViewBlock view_;
    double lastViewWidth_ = 0.0;
    double lastViewHeight_ = 0.0;
    HostRect deviceRect_;
    HostRect cacheRect_;  // handed to the display beside the device rectangle
    int32_t clientWidth_ = 0;
    int32_t clientHeight_ = 0;

    std::vector<ViewBlock> viewHistory_;  // newest last

    struct SavedViewState {
        ViewBlock view;
        HostRect deviceRect;
        int16_t colorMode = kColorModeColors;
    } savedViewState_;

    // Layout records: index 0 the model layout, then the paper layouts with a viewport.
    int32_t layoutCount_ = 0;
    int32_t currentLayout_ = -1;
    std::vector<LayoutBody> layouts_;
    std::vector<ViewBlock> layoutViews_;
    std::vector<uint8_t> layoutViewSaved_;
    Handle layoutBlock_;  // the block of the layout shown; zero: model space
    int16_t keptTileMode_ = 1;

    int16_t colorMode_ = kColorModeColors;
    const ColorTable* palette_;
    int16_t openFlag_ = 0;
    std::string sourcePath_;
    std::string password_;
    std::string openFailure_;
    Drawing* drawing_ = nullptr;
    HeaderBlock* header_ = nullptr;
    std::unique_ptr<WorkRecords> work_;
    uint8_t stopFlag_ = 0;
    std::function<void()> repaintWindow_;
    uint32_t lastBlitTick_ = 0;
};

// units x factor + 0.5, truncated: a size in pixels or device units; 0 when not positive, at
// most the largest int.
int32_t RoundedSize(double units, double factor);

// The toolkit writer SaveAs falls back to (wrSaveDrawing unless replaced; null puts it back).
// Returns the one replaced.
using DrawingWriter = int (*)(Drawing* drawing, const char* path, uint8_t format, int16_t versionIndex,
                              int16_t realSwitch, int16_t decimalPlaces, int16_t entitySwitch, uint8_t oldDxfFlag);
DrawingWriter SetDrawingWriter(DrawingWriter writer);

} // namespace tracemill
