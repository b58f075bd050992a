#include "app/render/pdf/pdf_document.h"

#include <string>

#include "app/image/image_file_io.h"

namespace tracemill::render {

CPdfDocument::CPdfDocument() {
    catalog_ = std::make_unique<CPdfCatalog>(&nextNumber_);
    auto procSet = std::make_unique<CPdfArray>();
    procSet->AddName("PDF");
    procSet->AddName("Text");
    AddSharedResource("ProcSet", std::make_unique<CPdfIndirectObject>(&nextNumber_, std::move(procSet)));
    auto info = std::make_unique<CPdfDictionary>();
    info->SetString("Producer", "Kirv Tracemill");
    info_ = std::make_unique<CPdfIndirectObject>(&nextNumber_, std::move(info));
}

CPdfDocument::~CPdfDocument() = default;

void CPdfDocument::SetInfo(const char* key, const char* text) {
    static_cast<CPdfDictionary*>(info_->Value())->SetString(key, text);
}

void CPdfDocument::AddSharedResource(const char* key, std::unique_ptr<CPdfIndirectObject> object) {
    sharedResources_.Add(key, std::move(object));
}

void CPdfDocument::AddSharedResources(CPdfPage* page) {
    for (size_t i = 0; i < sharedResources_.GetCount(); ++i) {
        const CPdfDictEntry* entry = sharedResources_.GetEntry(i);
        page->AddResource(entry->Key()->Text().c_str(), static_cast<const CPdfIndirectObject*>(entry->Value()));
    }
}

bool CPdfDocument::Write(FILE* file, CPdfXrefTable*) {
    if (!PdfPut(file, "%PDF-1.2\n") || !catalog_->Write(file, &xref_)) return false;
    for (size_t i = 0; i < sharedResources_.GetCount(); ++i) {
        if (!sharedResources_.GetEntry(i)->Value()->Write(file, &xref_)) return false;
    }
    if (!info_->Write(file, &xref_)) return false;
    const long xrefOffset = std::ftell(file);
    if (xrefOffset < 0) return false;
    xref_.AddMissingAsFree(nextNumber_);
    if (!xref_.Write(file, nullptr) || !PdfPut(file, "trailer\n")) return false;
    trailer_.SetInteger("Size", nextNumber_);
    trailer_.Set("Root", std::make_unique<CPdfReference>(catalog_.get()));
    trailer_.Set("Info", std::make_unique<CPdfReference>(info_.get()));
    return trailer_.Write(file, &xref_) &&
           PdfPut(file, "\nstartxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n");
}

bool CPdfDocument::Save(const char* path) {
    if (saved_ || !path) return false;
    saved_ = true;
    AtomicFileWriter writer(path);
    FILE* file = writer.Open();
    return file && Write(file, nullptr) && writer.Commit();
}

} // namespace tracemill::render
