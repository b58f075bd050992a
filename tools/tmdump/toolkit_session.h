// Starts the toolkit the way the program does (built-in init data, system context, "AC1013"
// accepted, global state) and stops it when the session ends.
#pragma once

namespace tracemill::tmdump {

class ToolkitSession {
public:
    ToolkitSession();
    ~ToolkitSession();
    ToolkitSession(const ToolkitSession&) = delete;
    ToolkitSession& operator=(const ToolkitSession&) = delete;

    bool started() const { return error_ == 0; }
    // The error number of a failed start (-1 when dbInitToolkit failed, which sets none).
    int error() const { return error_; }

private:
    int error_ = 0;
    bool contextCreated_ = false;
};

} // namespace tracemill::tmdump
