// The texts the user sees, looked up by key in one process-wide table that a language file
// (".lan") fills, with the English default given beside the key at each call. With no file
// loaded every lookup gives its default.
//
// A ".lan" file is text (UTF-8, or Windows-1252 when it is not valid UTF-8). Lines end at
// CR, LF or NUL; the first line names the language. Each line is trimmed; "//" starts a
// comment; otherwise the line splits at its first "=" into key (trimmed, not empty) and text
// (as written). In the text "%%" is a percent sign, any other "%" a CR LF line break and
// backslash-n a LF. Keys match without regard to case; the last line of a key wins.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tracemill {

class LanguageTable {
public:
    // Empties the table, then reads the file; false (and the table empty) when it cannot be
    // read.
    bool LoadFile(const std::string& path);
    // Empties the table, then takes the pairs of a file's bytes.
    void LoadBytes(std::string_view fileBytes);
    void Clear();

    // The stored text of a key, null when the key is missing. An empty text is stored as one
    // blank, which lookups treat as missing.
    const std::string* Find(std::string_view key) const;
    size_t Size() const { return keys_.size(); }
    // Pair i in the order of first appearance; a key keeps the spelling it first had.
    const std::string& Key(size_t i) const { return keys_[i]; }
    const std::string& Text(size_t i) const { return texts_[i]; }

private:
    void AddLine(std::string_view line);

    std::vector<std::string> keys_;
    std::vector<std::string> texts_;
    std::unordered_map<std::string, size_t> index_; // key in lower case -> pair
};

// The process's table.
LanguageTable& GetLanguageTable();

// Replaces the process's table by the file's pairs; a file that cannot be read leaves the
// table empty, so every text falls back to its default.
void LoadLanguageFile(const std::string& path);

// The text of the key, or `englishDefault` (empty when null) when the key is missing or has
// no text.
std::string LookupText(std::string_view key, const char* englishDefault);

// Fills a text's placeholders in order: each "%s" or "%d" takes the next argument, "%%"
// is a percent sign, and everything else is copied as written (a placeholder left without
// an argument too). Language texts are never used as printf formats: a file may hold any
// placeholder.
std::string FormatLanguageText(std::string_view text, std::initializer_list<std::string_view> arguments);

} // namespace tracemill
