// CPdfDocument: a PDF 1.2 file held in memory and written in one pass. A new document holds
// the catalog (1) with the outlines root (2) and the pages root (3), the shared ProcSet array
// (4) and the information dictionary (5) with its producer; pages, contents and bookmarks
// take the next numbers of the document's counter as they are made. Saved once.
#pragma once

#include <memory>

#include "app/render/pdf/pdf_structure.h"
#include "app/render/pdf/pdf_xref_table.h"

namespace tracemill::render {

class CPdfDocument : public CPdfObject {
public:
    CPdfDocument();
    ~CPdfDocument() override;

    CPdfCatalog* GetCatalog() const { return catalog_.get(); }
    // The next object number; every call that makes an indirect object takes it.
    int32_t* GetObjectCounter() { return &nextNumber_; }

    // Sets a string entry of the information dictionary ("Title", "Author", ...).
    void SetInfo(const char* key, const char* text);
    // A resource every page can refer to; the document writes it.
    void AddSharedResource(const char* key, std::unique_ptr<CPdfIndirectObject> object);
    // Refers the page's resources to every shared resource.
    void AddSharedResources(CPdfPage* page);

    // Writes the file under a temporary name and renames it over `path`; false when anything
    // fails (no file is left then) and on every call after the first.
    bool Save(const char* path);
    // The whole file: header, catalog with both trees, shared resources, information,
    // cross-reference table, trailer. `xref` is not used: the document has its own table.
    bool Write(FILE* file, CPdfXrefTable* xref) override;

private:
    int32_t nextNumber_ = 1;
    std::unique_ptr<CPdfCatalog> catalog_;
    CPdfDictionary sharedResources_;
    std::unique_ptr<CPdfIndirectObject> info_;
    CPdfDictionary trailer_;
    CPdfXrefTable xref_;
    bool saved_ = false;
};

} // namespace tracemill::render
