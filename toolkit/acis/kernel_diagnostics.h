// The one text sink of the solids kernel. Every warning, error and trace text of the kernel
// goes here; it is the standard error stream unless a caller (a test) redirects it. The sink
// counts the messages written through it: a message is a line.
#pragma once

#include <iosfwd>
#include <sstream>
#include <string>

namespace tracemill {

// The stream that kernel messages are written to.
std::ostream& kernelDiagnostics();

// Redirects kernel messages to `stream` (null restores the standard error stream); returns
// the stream in use before.
std::ostream* setKernelDiagnostics(std::ostream* stream);

// The number of line ends written through the sink since the program started, whatever the
// stream behind it. A caller tells how many messages an operation wrote by the difference.
long long kernelDiagnosticCount();

// Collects kernel messages while it lives and restores the previous sink when it goes.
class KernelDiagnosticsCapture {
public:
    KernelDiagnosticsCapture() : mPrevious(setKernelDiagnostics(&mText)) {}
    ~KernelDiagnosticsCapture() { setKernelDiagnostics(mPrevious); }
    KernelDiagnosticsCapture(const KernelDiagnosticsCapture&) = delete;
    KernelDiagnosticsCapture& operator=(const KernelDiagnosticsCapture&) = delete;

    std::string text() const { return mText.str(); }
    void clear() { mText.str(std::string()); }

private:
    std::ostringstream mText;
    std::ostream* mPrevious;
};

} // namespace tracemill
