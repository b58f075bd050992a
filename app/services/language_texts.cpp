#include "app/services/language_texts.h"

#include <sstream>

#include "app/image/image_file_io.h"
#include "app/services/text_encoding.h"
#include "app/services/text_file_reading.h"

namespace tracemill {

namespace {

// Language files are a few kilobytes; anything far larger is not one.
constexpr uint64_t kMaxLanguageFileBytes = uint64_t(16) << 20;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// "%%" a percent sign, other "%" CR LF, backslash-n LF, in this order.
std::string unescape(std::string_view raw) {
    std::string text(raw);
    replaceAll(text, "%%", "\x01");
    replaceAll(text, "%", "\r\n");
    replaceAll(text, "\x01", "%");
    replaceAll(text, "\\n", "\n");
    return text;
}

} // namespace

bool LanguageTable::LoadFile(const std::string& path) {
    Clear();
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path, kMaxLanguageFileBytes);
    if (!bytes) return false;
    LoadBytes(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    return true;
}

void LanguageTable::LoadBytes(std::string_view fileBytes) {
    Clear();
    std::istringstream file(DecodeTextFile(fileBytes));
    for (std::string line = ReadTextLine(file); !line.empty(); line = ReadTextLine(file)) AddLine(line);
}

void LanguageTable::Clear() {
    keys_.clear();
    texts_.clear();
    index_.clear();
}

void LanguageTable::AddLine(std::string_view line) {
    line = trim(line);
    if (line.substr(0, 2) == "//") return;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) return;
    const std::string_view key = trim(line.substr(0, equals));
    if (key.empty()) return;
    const std::string_view raw = line.substr(equals + 1);
    std::string text = raw.empty() ? std::string(" ") : unescape(raw);
    const auto [found, added] = index_.try_emplace(lowerAscii(key), keys_.size());
    if (added) {
        keys_.emplace_back(key);
        texts_.push_back(std::move(text));
    } else {
        texts_[found->second] = std::move(text);
    }
}

const std::string* LanguageTable::Find(std::string_view key) const {
    const auto found = index_.find(lowerAscii(key));
    return found == index_.end() ? nullptr : &texts_[found->second];
}

LanguageTable& GetLanguageTable() {
    static LanguageTable table;
    return table;
}

void LoadLanguageFile(const std::string& path) { GetLanguageTable().LoadFile(path); }

std::string LookupText(std::string_view key, const char* englishDefault) {
    const std::string* text = GetLanguageTable().Find(key);
    if (text && *text != " ") return *text;
    return englishDefault ? englishDefault : "";
}

std::string FormatLanguageText(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    out.reserve(text.size());
    auto argument = arguments.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char next = text[i + 1];
        if (next == '%') {
            out.push_back('%');
            ++i;
        } else if ((next == 's' || next == 'd') && argument != arguments.end()) {
            out.append(*argument++);
            ++i;
        } else {
            out.push_back('%');
        }
    }
    return out;
}

} // namespace tracemill
