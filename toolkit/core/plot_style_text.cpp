// The text grammar of a plot style table: header lines "key=value", then optionally the
// sections "aci_table{", "plot_style{" (one block of "  key=value" lines per style) and
// "custom_lineweight_table{", each closed by a line beginning '}'.
#include <charconv>
#include <cmath>
#include <new>
#include <string>

#include "toolkit/core/memory_services.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

// The lines of the text one by one, without their LF (or CR LF).
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(position_, end - position_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        position_ = end + 1;
        return true;
    }

private:
    std::string_view text_;
    size_t position_ = 0;
};

// Takes one allocation of the toolkit's allocator; the parse fails with error 136 when it is
// refused.
void claimAllocation() {
    if (!dbAllocationAllowed()) throw std::bad_alloc();
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

// A number as "%d" or "%lf" reads it: blanks, a sign and the number; `rest` is what follows.
// A text without a number, or one out of range, reads nothing.
template <class Number>
bool readNumber(std::string_view text, Number& out, std::string_view* rest = nullptr) {
    text = skipBlanks(text);
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return false;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value)) return false;
    }
    out = value;
    if (rest) *rest = text.substr(size_t(end - text.data()));
    return true;
}

void readInt16(std::string_view text, int16_t& out) {
    int32_t value = 0;
    if (readNumber(text, value)) out = int16_t(value);
}

// A value without the '"' it may start with, cut to the text limit.
std::string textValue(std::string_view value) {
    if (!value.empty() && value.front() == '"') value.remove_prefix(1);
    return std::string(value.substr(0, kPlotStyleTextLimit));
}

uint8_t isTrue(std::string_view value) { return value == "TRUE" ? 1 : 0; }

bool startsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

bool closesSection(std::string_view line) { return !line.empty() && line.front() == '}'; }

// Splits "key=value" at the first '='.
bool splitPair(std::string_view line, std::string_view& key, std::string_view& value) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

void readHeaderValue(std::string_view key, std::string_view value, PlotStyleTable& table) {
    if (key == "description") {
        table.description = textValue(value);
    } else if (key == "aci_table_available") {
        table.aciTableAvailable = isTrue(value);
    } else if (key == "scale_factor") {
        readNumber(value, table.scaleFactor);
    } else if (key == "apply_factor") {
        table.applyFactor = isTrue(value);
    } else if (key == "custom_lineweight_display_units") {
        table.customLineweightDisplayUnits = isTrue(value);
    }
}

void readStyleValue(std::string_view key, std::string_view value, PlotStyle& style) {
    if (key == "name") {
        style.name = textValue(value);
    } else if (key == "localized_name") {
        style.localizedName = textValue(value);
    } else if (key == "description") {
        style.description = textValue(value);
    } else if (key == "color") {
        readNumber(value, style.color);
    } else if (key == "color_policy") {
        readInt16(value, style.colorPolicy);
    } else if (key == "physical_pen_number") {
        readInt16(value, style.physicalPenNumber);
    } else if (key == "virtual_pen_number") {
        readInt16(value, style.virtualPenNumber);
    } else if (key == "screen") {
        readInt16(value, style.screen);
    } else if (key == "linepattern_size") {
        readNumber(value, style.linepatternSize);
    } else if (key == "linetype") {
        readInt16(value, style.linetype);
    } else if (key == "adaptive_linetype") {
        style.adaptiveLinetype = isTrue(value);
    } else if (key == "lineweight") {
        readInt16(value, style.lineweight);
    } else if (key == "fill_style") {
        readInt16(value, style.fillStyle);
    } else if (key == "end_style") {
        readInt16(value, style.endStyle);
    } else if (key == "join_style") {
        readInt16(value, style.joinStyle);
    }
}

// Colour entries "N=name" up to the closing line; 0 <= N < 255 kept.
void readAciTable(LineReader& lines, std::vector<std::string>& names) {
    claimAllocation();
    names.assign(kAciStyleCount, std::string());
    std::string_view line;
    while (lines.next(line) && !closesSection(skipBlanks(line))) {
        int32_t index = 0;
        std::string_view rest;
        if (!readNumber(line, index, &rest) || rest.empty() || rest.front() != '=') continue;
        if (index >= 0 && index < kAciStyleCount) names[size_t(index)] = textValue(rest.substr(1));
    }
}

// Styles up to the line beginning '}': an opening line, "  key=value" lines, a closing line.
void readStyles(LineReader& lines, PlotStyleTable& table) {
    PlotStyle style;
    bool open = false;
    auto finish = [&] {
        if (open && !style.name.empty()) {
            claimAllocation();
            table.styles.push_back(std::move(style));
        }
        style = PlotStyle{};
        open = false;
    };
    std::string_view line;
    while (lines.next(line) && !closesSection(line)) {
        std::string_view key, value;
        if (startsWith(line, "  ") && splitPair(line.substr(2), key, value)) {
            if (open) readStyleValue(key, value, style);
        } else if (!line.empty() && line.back() == '{') {
            finish();
            open = true;
        } else if (closesSection(skipBlanks(line))) {
            finish();
        }
    }
    finish();
}

// Lines "N=w" up to the line beginning '}'; 0 <= N <= 26 kept.
void readCustomLineweights(LineReader& lines, PlotStyleTable& table) {
    std::string_view line;
    while (lines.next(line) && !closesSection(line)) {
        int32_t index = 0;
        double width = 0.0;
        std::string_view rest;
        if (!readNumber(line, index, &rest) || rest.empty() || rest.front() != '=') continue;
        if (!readNumber(rest.substr(1), width)) continue;
        if (index >= 0 && index < kCustomLineweightCount) table.customLineweights[size_t(index)] = width;
    }
}

void linkColourEntries(const std::vector<std::string>& names, PlotStyleTable& table) {
    claimAllocation();
    table.aciStyles.assign(kAciStyleCount, -1);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        bool found = false;
        for (size_t s = 0; s < table.styles.size() && !found; ++s) {
            if (table.styles[s].name == names[i]) {
                table.aciStyles[i] = int32_t(s);
                found = true;
            }
        }
        if (!found) dbSetError(kErrorPlotStyleNotFound);
    }
}

} // namespace

int dbParsePlotStyleText(std::string_view text, PlotStyleTable& out) {
    try {
        PlotStyleTable table;
        LineReader lines(text);
        std::string_view line;
        bool more = lines.next(line);
        std::string_view key, value;
        while (more && splitPair(line, key, value)) {
            readHeaderValue(key, value, table);
            more = lines.next(line);
        }
        std::vector<std::string> colourNames;
        if (more && line == "aci_table{") {
            readAciTable(lines, colourNames);
            more = lines.next(line);
        }
        if (more && startsWith(line, "plot_style{")) {
            readStyles(lines, table);
            more = lines.next(line);
        }
        if (!table.styles.empty() && !colourNames.empty()) linkColourEntries(colourNames, table);
        if (more && startsWith(line, "custom_lineweight_table{")) readCustomLineweights(lines, table);
        out = std::move(table);
        return 1;
    } catch (const std::bad_alloc&) {
        return dbReportError(kErrorPlotStyleNoMemory, kErrorReasonNoMemory);
    }
}

} // namespace tracemill
