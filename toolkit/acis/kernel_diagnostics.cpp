#include "toolkit/acis/kernel_diagnostics.h"

#include <algorithm>
#include <iostream>
#include <streambuf>

namespace tracemill {
namespace {

// Hands every character on to the buffer of the stream in use (a stream without a buffer drops
// them) and counts the line ends. A failed write there is not passed back, so that one failure
// never silences the sink.
class CountingBuffer : public std::streambuf {
public:
    std::ostream* target = nullptr;  // null: the standard error stream
    long long lines = 0;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (traits_type::to_char_type(c) == '\n') ++lines;
        if (std::streambuf* to = destination()) to->sputc(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        lines += std::count(s, s + n, '\n');
        if (std::streambuf* to = destination()) to->sputn(s, n);
        return n;
    }
    int sync() override {
        if (std::streambuf* to = destination()) to->pubsync();
        return 0;
    }

private:
    std::streambuf* destination() const {
        if (target) return target->rdbuf();
        return std::cerr.rdbuf();
    }
};

CountingBuffer& buffer() {
    static CountingBuffer instance;
    return instance;
}

} // namespace

std::ostream& kernelDiagnostics() {
    static std::ostream stream(&buffer());
    return stream;
}

std::ostream* setKernelDiagnostics(std::ostream* stream) {
    std::ostream* previous = buffer().target ? buffer().target : &std::cerr;
    buffer().target = (stream == &std::cerr) ? nullptr : stream;
    return previous;
}

long long kernelDiagnosticCount() { return buffer().lines; }

} // namespace tracemill
