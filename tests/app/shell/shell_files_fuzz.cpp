// Fuzz harness of the text the application shell reads from files the user hands it:
// language files, pen-set files and typed numbers. Each input is read as all three.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/services/language_texts.h"
#include "app/shell/number_text.h"
#include "app/shell/pen_set_file.h"
#include "toolkit/core/name_compare.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    LanguageTable table;
    table.LoadBytes(bytes);
    for (size_t i = 0; i < table.Size(); ++i) {
        // Keys are unique without regard to case and every stored text has something in it.
        if (table.Key(i).empty() || table.Text(i).empty() || table.Find(table.Key(i)) != &table.Text(i)) std::abort();
        for (size_t j = 0; j < i; ++j)
            if (dbEqualsNoCase(table.Key(i), table.Key(j))) std::abort();
        FormatLanguageText(table.Text(i), {"first", "second"});
    }

    std::istringstream file(bytes);
    const std::vector<std::string> names = ReadPenSetFileNames(file);
    for (size_t i = 0; i < names.size(); ++i) {
        // Every listed record but a last one cut short reads whole.
        if (names[i].empty() || (i + 1 < names.size() && !ReadPenSetFileRecord(file, names[i]))) std::abort();
    }
    ReadPenSetFileRecord(file, "Default");

    double value = 0;
    SetDecimalSeparator(size > 0 && data[0] < 0x80 ? ',' : '.');
    if (ParseNumber(bytes.substr(0, 80), value) && !std::isfinite(value)) std::abort();
    return 0;
}
