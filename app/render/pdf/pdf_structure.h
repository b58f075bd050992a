// The document structure of the PDF writer: the catalog with its two trees (pages and
// outlines), the pages with their content streams and resources, and the bookmarks. Each
// fills the entries that depend on the tree ("Kids", "Count", "Contents", "First", ...) when
// it is written, and writes what it owns after itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/render/pdf/pdf_content.h"
#include "app/render/pdf/pdf_objects.h"

namespace tracemill::render {

class CPdfPage : public CPdfDictObject {
public:
    // "Type" /Page, "Parent", an empty "Resources" dictionary.
    CPdfPage(int32_t* counter, const CPdfIndirectObject* parent);

    bool Write(FILE* file, CPdfXrefTable* xref) override;

    // A new compressed content stream in an indirect object of its own (numbered before the
    // stream's length object).
    CPdfContent* AddContent(int32_t* counter);
    CPdfContent* AddUncompressedContent(int32_t* counter);
    // Any object as a content of the page; false when it is missing.
    bool AddContentObject(std::unique_ptr<CPdfObject> object, int32_t* counter);
    // Sets `key` in the resources to a reference to an object written elsewhere.
    void AddResource(const char* key, const CPdfIndirectObject* shared);
    // The same for an object the page owns and writes after itself.
    void AddResource(const char* key, std::unique_ptr<CPdfIndirectObject> owned);
    void SetMediaBox(int32_t width, int32_t height);
    void SetCropBox(int32_t left, int32_t bottom, int32_t right, int32_t top);

    size_t ContentCount() const { return contents_.size(); }

private:
    template <typename Content>
    CPdfContent* AddStream(int32_t* counter);

    std::vector<std::unique_ptr<CPdfIndirectObject>> contents_;
    std::vector<std::unique_ptr<CPdfIndirectObject>> ownedResources_;
    CPdfDictionary* resources_;
};

class CPdfPages : public CPdfDictObject {
public:
    // "Type" /Pages, and "Parent" below the root.
    CPdfPages(int32_t* counter, const CPdfIndirectObject* parent);

    bool Write(FILE* file, CPdfXrefTable* xref) override;

    CPdfPage* AddPage(int32_t* counter);
    CPdfPages* AddPagesNode(int32_t* counter);
    void SetMediaBox(int32_t width, int32_t height);
    // The pages of this node and of all nodes below it.
    int32_t CountPages() const;

private:
    std::vector<std::unique_ptr<CPdfPages>> children_;
    std::vector<std::unique_ptr<CPdfPage>> pages_;
};

// A bookmark, or the outlines root (the item without a parent, "Type" /Outlines), which
// ignores a title and a destination.
class CPdfOutlineItem : public CPdfDictObject {
public:
    CPdfOutlineItem(int32_t* counter, CPdfOutlineItem* parent);

    bool Write(FILE* file, CPdfXrefTable* xref) override;

    // A new bookmark, last among this item's children.
    CPdfOutlineItem* AddItem(int32_t* counter);
    void SetTitle(const char* text);
    // "Dest": the page, the mode as a name and the numbers the mode takes ("XYZ" left, top,
    // bottom when any is not 0; "FitH" top; "FitV" and "FitBV" left; "FitR" all four).
    void SetDest(const CPdfPage* page, const char* mode, int32_t left, int32_t bottom, int32_t right, int32_t top);
    // All items below this one.
    int32_t CountDescendants() const;

private:
    CPdfOutlineItem* parent_;
    std::vector<std::unique_ptr<CPdfOutlineItem>> children_;
    std::string title_;
};

// Object 1: "Type" /Catalog, "Pages", "Outlines"; owns both trees and writes the outlines
// tree, then the pages tree, after itself.
class CPdfCatalog : public CPdfDictObject {
public:
    explicit CPdfCatalog(int32_t* counter);

    bool Write(FILE* file, CPdfXrefTable* xref) override;

    CPdfPages* GetPages() const { return pages_.get(); }
    CPdfOutlineItem* GetOutlines() const { return outlines_.get(); }

private:
    std::unique_ptr<CPdfOutlineItem> outlines_;
    std::unique_ptr<CPdfPages> pages_;
};

} // namespace tracemill::render
