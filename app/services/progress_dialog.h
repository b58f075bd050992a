// The progress dialog that long operations (regenerating, exporting, printing, converting)
// show: a message line, a progress bar and a Stop button. This one keeps the state without a
// window; the user's Stop arrives through OnStop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tracemill {

class CProgressDialog {
public:
    // Clears the stop flag, takes the Stop caption and the dialog caption from the language
    // texts and shows the dialog.
    void Begin();
    // Hides the dialog.
    void End();
    void SetMessage(std::string text) {
        message_ = std::move(text);
        Changed();
    }
    void SetPos(int32_t position) {
        position_ = position;
        Changed();
    }
    // Sets the bar's range, puts the bar at `lower` and shows it.
    void SetRange(int16_t lower, int16_t upper);
    void EnableStop(bool enable) { stopEnabled_ = enable; }
    void ShowProgressBar(bool show) { barShown_ = show; }
    // A press on Stop: sets the stop flag while the button is enabled; the dialog stays.
    void OnStop();
    // Called after each change of what the dialog shows (shown, message, position): another
    // view of the same progress, such as a line on a terminal, follows it.
    void SetChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // Set once the user pressed Stop since the last Begin.
    uint8_t StopFlag() const { return stopFlag_; }

    bool IsShown() const { return shown_; }
    bool IsProgressBarShown() const { return barShown_; }
    bool IsStopEnabled() const { return stopEnabled_; }
    const std::string& GetMessage() const { return message_; }
    const std::string& GetCaption() const { return caption_; }
    const std::string& GetStopCaption() const { return stopCaption_; }
    int32_t GetPos() const { return position_; }
    int16_t GetLower() const { return lower_; }
    int16_t GetUpper() const { return upper_; }

private:
    void Changed() const {
        if (listener_) listener_();
    }

    std::function<void()> listener_;
    uint8_t stopFlag_ = 0;
    bool shown_ = false;
    bool barShown_ = true;
    bool stopEnabled_ = true;
    std::string message_;
    std::string caption_;
    std::string stopCaption_;
    int32_t position_ = 0;
    int16_t lower_ = 0;
    int16_t upper_ = 100;
};

} // namespace tracemill
