#include "app/services/text_file_reading.h"

namespace tracemill {

namespace {

bool endsLine(int c) { return c == '\r' || c == '\n' || c == '\0'; }

} // namespace

std::string ReadTextLine(std::istream& file) {
    std::string line;
    int c = file.get();
    while (c != std::char_traits<char>::eof() && endsLine(c)) c = file.get();
    while (c != std::char_traits<char>::eof() && !endsLine(c)) {
        line.push_back(char(c));
        c = file.get();
    }
    return line;
}

std::string ReadNulTerminatedString(std::istream& file) {
    std::string text;
    for (int c = file.get(); c != std::char_traits<char>::eof() && c != '\0'; c = file.get())
        text.push_back(char(c));
    return text;
}

} // namespace tracemill
