// The object model of the PDF writer: the direct objects (booleans, numbers, names, strings,
// arrays, dictionaries, references) and the numbered indirect objects, each writing its own
// text. Containers own their items.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill::render {

class CPdfXrefTable;

class CPdfObject {
public:
    virtual ~CPdfObject() = default;
    // Writes the object's text at the file's position; false when a write failed.
    virtual bool Write(FILE* file, CPdfXrefTable* xref) = 0;
    virtual bool IsStream() const { return false; }
    // Content streams only: writes the stream data; the number of bytes written, or -1.
    virtual int64_t WriteData(FILE*) { return 0; }
};

// Writes `text`; false when the write fails.
bool PdfPut(FILE* file, std::string_view text);

class CPdfBool : public CPdfObject {
public:
    explicit CPdfBool(bool value) : value_(value) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;

private:
    bool value_;
};

class CPdfInteger : public CPdfObject {
public:
    explicit CPdfInteger(int32_t value) : value_(value) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    int32_t Value() const { return value_; }
    void SetValue(int32_t value) { value_ = value; }

private:
    int32_t value_;
};

// Written with two decimals, trailing zeros dropped.
class CPdfReal : public CPdfObject {
public:
    explicit CPdfReal(double value) : value_(value) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;

private:
    double value_;
};

// "/" and the text as it is: names are made of letters.
class CPdfName : public CPdfObject {
public:
    explicit CPdfName(std::string text) : text_(std::move(text)) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// In parentheses, with a backslash before each "\", "(" and ")"; written whole at any length.
class CPdfString : public CPdfObject {
public:
    explicit CPdfString(std::string text) : text_(std::move(text)) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;

private:
    std::string text_;
};

// "[" items separated by one blank "]"; a missing item is written "null".
class CPdfArray : public CPdfObject {
public:
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    void Add(std::unique_ptr<CPdfObject> item);
    void AddBool(bool value);
    void AddInteger(int32_t value);
    void AddReal(double value);
    void AddName(const char* text);
    void AddString(const char* text);
    size_t GetCount() const { return items_.size(); }
    // None when i is out of range.
    CPdfObject* GetAt(size_t i) const;
    // Replaces (and deletes) item i; ignored when i is out of range.
    void SetAt(size_t i, std::unique_ptr<CPdfObject> item);
    void RemoveAt(size_t i);

private:
    std::vector<std::unique_ptr<CPdfObject>> items_;
};

// The key, one blank, the value; nothing when either is missing.
class CPdfDictEntry : public CPdfObject {
public:
    CPdfDictEntry(std::unique_ptr<CPdfName> key, std::unique_ptr<CPdfObject> value)
        : key_(std::move(key)), value_(std::move(value)) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    const CPdfName* Key() const { return key_.get(); }
    CPdfObject* Value() const { return value_.get(); }

private:
    std::unique_ptr<CPdfName> key_;
    std::unique_ptr<CPdfObject> value_;
};

// "<<" the entries in insertion order separated by line feeds ">>".
class CPdfDictionary : public CPdfObject {
public:
    bool Write(FILE* file, CPdfXrefTable* xref) override;

    // Appends an entry without looking for the key.
    void Add(const char* key, std::unique_ptr<CPdfObject> value);
    // Replaces the entry with this key in its place, or appends one.
    void Set(const char* key, std::unique_ptr<CPdfObject> value);
    void SetName(const char* key, const char* name);
    void SetInteger(const char* key, int32_t value);
    void SetReal(const char* key, double value);
    void SetBool(const char* key, bool value);
    void SetString(const char* key, const char* text);
    void Remove(const char* key);
    CPdfDictEntry* FindEntry(const char* key) const;
    CPdfObject* GetValue(const char* key) const;
    size_t GetCount() const { return entries_.size(); }
    CPdfDictEntry* GetEntry(size_t i) const { return entries_[i].get(); }

private:
    std::vector<std::unique_ptr<CPdfDictEntry>> entries_;
};

// A numbered object: "n 0 obj", its value, "endobj". The number comes from the document's
// counter at construction. A stream's length object is written right after the stream.
class CPdfIndirectObject : public CPdfObject {
public:
    CPdfIndirectObject(int32_t* counter, std::unique_ptr<CPdfObject> value = nullptr);
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    int32_t Number() const { return number_; }
    int32_t Generation() const { return 0; }
    CPdfObject* Value() const { return value_.get(); }
    void SetValue(std::unique_ptr<CPdfObject> value) { value_ = std::move(value); }

private:
    std::unique_ptr<CPdfObject> value_;
    int32_t number_;
};

// "n 0 R" of its target (not owned), "null" without one.
class CPdfReference : public CPdfObject {
public:
    explicit CPdfReference(const CPdfIndirectObject* target) : target_(target) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;

private:
    const CPdfIndirectObject* target_;
};

// An indirect object whose value is a dictionary made with it.
class CPdfDictObject : public CPdfIndirectObject {
public:
    explicit CPdfDictObject(int32_t* counter);
    CPdfDictionary& Dictionary() const { return *dictionary_; }

private:
    using CPdfIndirectObject::SetValue; // the dictionary stays the value
    CPdfDictionary* dictionary_;
};

} // namespace tracemill::render
