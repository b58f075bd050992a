// The application's process-wide settings: the background colour of drawings, the decimal
// separator, the current pen set with the pen table, and the store of named pen sets in the
// settings (key "PenWidths", one subkey per set) and in ".cps" files. One object lives from
// just after the QApplication is made to the end of the program; it loads itself when made
// and saves itself when destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell/pen_set_file.h"

namespace tracemill {

// The answer to "overwrite the pen set that already exists?" during an import.
enum class PenSetOverwrite { Yes, YesToAll, No, NoToAll, Cancel };

class CAppSettings {
public:
    // Takes the decimal separator of the user's locale and loads the background colour, the
    // CAD support folder and the current pen set into the pen table.
    CAppSettings();
    // Saves the background colour and the pen table under the current pen set.
    ~CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    // The live settings object; null when there is none.
    static CAppSettings* Get();

    uint16_t GetBackgroundColor() const { return backgroundColor_; }
    // Makes the colour index the background of drawings and keeps it.
    void SetBackgroundColor(uint16_t colorIndex);
    char GetDecimalSeparator() const { return decimalSeparator_; }
    const std::string& GetCurrentPenSetName() const { return currentPenSet_; }

    // --- Pen sets in the settings (pen_sets.cpp).
    // The names of the stored sets; "Default" alone when there is none.
    void ListPenSets(std::vector<std::string>& names) const;
    // The set's widths (missing or not 8 binary bytes: 0) and destination colours (missing
    // or not below 256: the entry's own index); a missing set gives those defaults.
    void LoadPenSet(PenSetEntries& entries, std::string_view name) const;
    // Makes the name current ("Default" when empty) and stores the pen table under it.
    void SavePenSet(std::string_view name);

    // --- Pen sets in ".cps" files.
    // The current set's record from the pen table; nothing without a current name.
    bool WritePenSetRecord(std::ostream& file) const;
    void ReadPenSetNames(std::istream& file, std::vector<std::string>& names) const;
    // Takes the record named `name` (without regard to case) into the pen table and makes
    // the name current; false, changing nothing, when there is none or it is cut short.
    bool ReadPenSetRecord(std::string_view name, std::istream& file);
    // Writes a ".cps" file of the stored sets `names`, in that order (replaced only when it
    // is complete). The pen table and the current set stay as they are.
    bool ExportPenSets(const std::string& path, const std::vector<std::string>& names) const;
    // Stores the sets `names` of a ".cps" file; for each name that is already stored
    // `overwrite` decides (Yes to All and No to All answer every later question alike,
    // Cancel stops). The current set is loaded again afterwards. False when the file cannot
    // be read.
    bool ImportPenSets(const std::string& path, const std::vector<std::string>& names,
                       const std::function<PenSetOverwrite(const std::string& name)>& overwrite);

    // Writes the settings the destructor writes.
    void Save();

private:
    // LoadPenSet that tells whether the set is stored.
    static bool LoadStoredPenSet(PenSetEntries& entries, std::string_view name);

    uint16_t backgroundColor_ = 0;
    char decimalSeparator_ = '.';
    std::string currentPenSet_;
};

// Deletes the stored pen set.
void DeletePenSet(std::string_view name);

// The pen table's widths and destination colours as a pen set, and back.
PenSetEntries GetPenTableAsPenSet();
void SetPenTableFromPenSet(const PenSetEntries& entries);

// The first character of the user locale's decimal separator; '.' when it is not ASCII.
char DetectDecimalSeparator();

} // namespace tracemill
