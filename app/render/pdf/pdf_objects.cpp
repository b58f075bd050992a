#include "app/render/pdf/pdf_objects.h"

#include <charconv>
#include <cstring>

#include "app/render/devices/device_number_format.h"
#include "app/render/pdf/pdf_content.h"
#include "app/render/pdf/pdf_xref_table.h"

namespace tracemill::render {

namespace {

bool PutInteger(FILE* file, int64_t value) {
    char text[24];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return PdfPut(file, std::string_view(text, size_t(result.ptr - text)));
}

} // namespace

bool PdfPut(FILE* file, std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool CPdfBool::Write(FILE* file, CPdfXrefTable*) { return PdfPut(file, value_ ? "true" : "false"); }

bool CPdfInteger::Write(FILE* file, CPdfXrefTable*) { return PutInteger(file, value_); }

bool CPdfReal::Write(FILE* file, CPdfXrefTable*) {
    char text[kDeviceNumberBufferSize];
    return PdfPut(file, std::string_view(text, FormatDeviceNumber(value_, text, 2)));
}

bool CPdfName::Write(FILE* file, CPdfXrefTable*) { return PdfPut(file, "/") && PdfPut(file, text_); }

bool CPdfString::Write(FILE* file, CPdfXrefTable*) {
    std::string text;
    text.reserve(text_.size() + 2);
    text += '(';
    for (char c : text_) {
        if (c == '\\' || c == '(' || c == ')') text += '\\';
        text += c;
    }
    text += ')';
    return PdfPut(file, text);
}

bool CPdfArray::Write(FILE* file, CPdfXrefTable* xref) {
    if (!PdfPut(file, "[")) return false;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i > 0 && !PdfPut(file, " ")) return false;
        if (!(items_[i] ? items_[i]->Write(file, xref) : PdfPut(file, "null"))) return false;
    }
    return PdfPut(file, "]");
}

void CPdfArray::Add(std::unique_ptr<CPdfObject> item) { items_.push_back(std::move(item)); }
void CPdfArray::AddBool(bool value) { Add(std::make_unique<CPdfBool>(value)); }
void CPdfArray::AddInteger(int32_t value) { Add(std::make_unique<CPdfInteger>(value)); }
void CPdfArray::AddReal(double value) { Add(std::make_unique<CPdfReal>(value)); }
void CPdfArray::AddName(const char* text) { Add(std::make_unique<CPdfName>(text)); }
void CPdfArray::AddString(const char* text) { Add(std::make_unique<CPdfString>(text)); }

CPdfObject* CPdfArray::GetAt(size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }

void CPdfArray::SetAt(size_t i, std::unique_ptr<CPdfObject> item) {
    if (i < items_.size()) items_[i] = std::move(item);
}

void CPdfArray::RemoveAt(size_t i) {
    if (i < items_.size()) items_.erase(items_.begin() + std::ptrdiff_t(i));
}

bool CPdfDictEntry::Write(FILE* file, CPdfXrefTable* xref) {
    if (!key_ || !value_) return true;
    return key_->Write(file, xref) && PdfPut(file, " ") && value_->Write(file, xref);
}

bool CPdfDictionary::Write(FILE* file, CPdfXrefTable* xref) {
    if (!PdfPut(file, "<<")) return false;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (i > 0 && !PdfPut(file, "\n")) return false;
        if (!entries_[i]->Write(file, xref)) return false;
    }
    return PdfPut(file, ">>");
}

void CPdfDictionary::Add(const char* key, std::unique_ptr<CPdfObject> value) {
    entries_.push_back(std::make_unique<CPdfDictEntry>(std::make_unique<CPdfName>(key), std::move(value)));
}

void CPdfDictionary::Set(const char* key, std::unique_ptr<CPdfObject> value) {
    for (std::unique_ptr<CPdfDictEntry>& entry : entries_) {
        if (entry->Key() && entry->Key()->Text() == key) {
            entry = std::make_unique<CPdfDictEntry>(std::make_unique<CPdfName>(key), std::move(value));
            return;
        }
    }
    Add(key, std::move(value));
}

void CPdfDictionary::SetName(const char* key, const char* name) { Set(key, std::make_unique<CPdfName>(name)); }
void CPdfDictionary::SetInteger(const char* key, int32_t value) {
    Set(key, std::make_unique<CPdfInteger>(value));
}
void CPdfDictionary::SetReal(const char* key, double value) { Set(key, std::make_unique<CPdfReal>(value)); }
void CPdfDictionary::SetBool(const char* key, bool value) { Set(key, std::make_unique<CPdfBool>(value)); }
void CPdfDictionary::SetString(const char* key, const char* text) {
    if (key && text) Set(key, std::make_unique<CPdfString>(text));
}

void CPdfDictionary::Remove(const char* key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if ((*it)->Key() && (*it)->Key()->Text() == key) {
            entries_.erase(it);
            return;
        }
    }
}

CPdfDictEntry* CPdfDictionary::FindEntry(const char* key) const {
    for (const std::unique_ptr<CPdfDictEntry>& entry : entries_) {
        if (entry->Key() && entry->Key()->Text() == key) return entry.get();
    }
    return nullptr;
}

CPdfObject* CPdfDictionary::GetValue(const char* key) const {
    const CPdfDictEntry* entry = FindEntry(key);
    return entry ? entry->Value() : nullptr;
}

CPdfIndirectObject::CPdfIndirectObject(int32_t* counter, std::unique_ptr<CPdfObject> value)
    : value_(std::move(value)), number_((*counter)++) {}

bool CPdfIndirectObject::Write(FILE* file, CPdfXrefTable* xref) {
    const long offset = std::ftell(file);
    if (offset < 0) return false;
    xref->Add(number_, offset, 0, true);
    if (!PutInteger(file, number_) || !PdfPut(file, " 0 obj\n")) return false;
    if (!(value_ ? value_->Write(file, xref) : PdfPut(file, "null"))) return false;
    if (!PdfPut(file, "\nendobj\n")) return false;
    if (value_ && value_->IsStream()) return static_cast<CPdfContent&>(*value_).LengthObject().Write(file, xref);
    return true;
}

bool CPdfReference::Write(FILE* file, CPdfXrefTable*) {
    if (!target_) return PdfPut(file, "null");
    return PutInteger(file, target_->Number()) && PdfPut(file, " ") && PutInteger(file, target_->Generation()) &&
           PdfPut(file, " R");
}

CPdfDictObject::CPdfDictObject(int32_t* counter) : CPdfIndirectObject(counter) {
    auto dictionary = std::make_unique<CPdfDictionary>();
    dictionary_ = dictionary.get();
    SetValue(std::move(dictionary));
}

} // namespace tracemill::render
