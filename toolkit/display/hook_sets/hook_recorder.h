// Two hook sets for the tools and the tests, each installed whole into the output hook table:
//
// - HookRecorder: writes every call of a drawing, colour, progress or external-reference hook
//   as one line of text ("moveTo 10 20", "lineTo 30 40", "polygon 0,0 10,0 10,10", "color 7",
//   "entityBegin 1F colour 7 lineweight 25 kind LINE linetype CONTINUOUS plotStyle -",
//   "xrefMissing part.dxf", ...), the slot named as output_hook_table.h names it and numbers in
//   their shortest round-trip form; tests compare the lines. Its stream form puts the slot
//   number in front ("0 moveTo 10 20"): what `tmdump --draw --stream` prints.
// - HookCounter (hook_counter.h): counts the calls per slot and the primitives among them.
//
// The file finders (slots 9, 10, 32), the entity fetch (14), the glyph outlines (31) and the
// solid drawer (34) change what the toolkit does and are left as they are. One set records at
// a time: installing a set makes it the active one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

class HookRecorder {
public:
    HookRecorder() = default;
    ~HookRecorder();
    HookRecorder(const HookRecorder&) = delete;
    HookRecorder& operator=(const HookRecorder&) = delete;

    // Puts the recorder's hooks into the table and makes it the active recorder.
    void install();
    // Empties the slots it filled (the colour slot gets its default back).
    void uninstall();

    const std::vector<std::string>& lines() const { return lines_; }
    // The lines of one slot.
    std::vector<std::string> linesOf(std::string_view slot) const;
    // The lines in their stream form: the slot number, a space, the line.
    std::vector<std::string> stream() const;
    // With a file, each call is written at once in its stream form (one line each) and not
    // kept; null keeps the lines again.
    void streamTo(std::FILE* out) { out_ = out; }
    void clear() {
        lines_.clear();
        slots_.clear();
    }
    // Called by the hooks.
    void add(int slot, std::string line);

private:
    std::vector<std::string> lines_;
    std::vector<int> slots_;
    std::FILE* out_ = nullptr;
    bool installed_ = false;
};

} // namespace tracemill
