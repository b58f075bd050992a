// The application's drawing object: its handle on one toolkit drawing. It is the host word the
// hook sets receive during a pass (with the device hook set, the first member of the pair in
// device_hooks.h). What is here is what the hook sets and the host callbacks read: the colour
// mode with its palette, the source path and password, the toolkit drawing, the stop flag,
// and the window that a long regeneration shows its progress in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/render/screen_colors.h"

namespace tracemill {

struct Drawing;

// Colour modes: 1 black and white, 2 grey, any other value 256 colours.
inline constexpr int16_t kColorModeBlackWhite = 1;
inline constexpr int16_t kColorModeGray = 2;
inline constexpr int16_t kColorModeColors = 3;

class CDrawingObject {
public:
    CDrawingObject();
    virtual ~CDrawingObject();
    CDrawingObject(const CDrawingObject&) = delete;
    CDrawingObject& operator=(const CDrawingObject&) = delete;

    // The colour mode and the working colour table it draws with.
    void SetColorMode(int16_t mode);
    int16_t GetColorMode() const { return colorMode_; }
    const ColorTable& GetPalette() const { return *palette_; }

    // The path and password the drawing was opened with (empty for none).
    const std::string& GetSourcePath() const { return sourcePath_; }
    void SetSourcePath(std::string path) { sourcePath_ = std::move(path); }
    const std::string& GetPassword() const { return password_; }
    void SetPassword(std::string password) { password_ = std::move(password); }

    // The toolkit drawing shown (its owner frees it); null while none is open.
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

private:
    int16_t colorMode_ = kColorModeColors;
    const ColorTable* palette_;
    std::string sourcePath_;
    std::string password_;
    Drawing* drawing_ = nullptr;
    uint8_t stopFlag_ = 0;
    std::function<void()> repaintWindow_;
    uint32_t lastBlitTick_ = 0;
};

} // namespace tracemill
