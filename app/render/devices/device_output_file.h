// The file of the devices that write as they draw (HP-GL/2, EPS): opened under a temporary
// name at Begin, renamed over the target at End when every byte was written, removed when
// the device goes without End. Text is collected in memory and written in large blocks.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tracemill {
class AtomicFileWriter;
}

namespace tracemill::render {

class DeviceOutputFile {
public:
    DeviceOutputFile();
    ~DeviceOutputFile();

    // False when the file cannot be created.
    bool Open(const char* path);
    bool IsOpen() const;
    // The text goes to the file as it is: lines end in "\r\n" where the caller writes them.
    std::string& Text() { return pending_; }
    // Writes the collected text when enough has gathered.
    void Flush();
    // Writes the rest and renames the file over the target; false when anything failed or
    // the file was never opened (nothing is left at the target then).
    bool Finish();

private:
    bool WritePending();

    std::unique_ptr<AtomicFileWriter> writer_;
    std::string pending_;
    bool failed_ = false;
};

} // namespace tracemill::render
