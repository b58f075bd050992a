#include "app/render/pdf/pdf_structure.h"

#include <cstring>

namespace tracemill::render {

namespace {

std::unique_ptr<CPdfArray> IntegerArray(std::initializer_list<int32_t> values) {
    auto array = std::make_unique<CPdfArray>();
    for (int32_t value : values) array->AddInteger(value);
    return array;
}

std::unique_ptr<CPdfReference> ReferenceTo(const CPdfIndirectObject* target) {
    return std::make_unique<CPdfReference>(target);
}

} // namespace

CPdfPage::CPdfPage(int32_t* counter, const CPdfIndirectObject* parent) : CPdfDictObject(counter) {
    Dictionary().SetName("Type", "Page");
    Dictionary().Set("Parent", ReferenceTo(parent));
    auto resources = std::make_unique<CPdfDictionary>();
    resources_ = resources.get();
    Dictionary().Set("Resources", std::move(resources));
}

bool CPdfPage::Write(FILE* file, CPdfXrefTable* xref) {
    auto contents = std::make_unique<CPdfArray>();
    for (const auto& content : contents_) contents->Add(ReferenceTo(content.get()));
    Dictionary().Set("Contents", std::move(contents));
    if (!CPdfIndirectObject::Write(file, xref)) return false;
    for (const auto& resource : ownedResources_) {
        if (!resource->Write(file, xref)) return false;
    }
    for (const auto& content : contents_) {
        if (!content->Write(file, xref)) return false;
    }
    return true;
}

template <typename Content>
CPdfContent* CPdfPage::AddStream(int32_t* counter) {
    // The holder takes its number before the stream's length object.
    auto holder = std::make_unique<CPdfIndirectObject>(counter);
    auto content = std::make_unique<Content>(counter);
    CPdfContent* stream = content.get();
    holder->SetValue(std::move(content));
    contents_.push_back(std::move(holder));
    return stream;
}

CPdfContent* CPdfPage::AddContent(int32_t* counter) { return AddStream<CPdfCompressedContent>(counter); }

CPdfContent* CPdfPage::AddUncompressedContent(int32_t* counter) { return AddStream<CPdfContent>(counter); }

bool CPdfPage::AddContentObject(std::unique_ptr<CPdfObject> object, int32_t* counter) {
    if (!object) return false;
    contents_.push_back(std::make_unique<CPdfIndirectObject>(counter, std::move(object)));
    return true;
}

void CPdfPage::AddResource(const char* key, const CPdfIndirectObject* shared) {
    resources_->Set(key, ReferenceTo(shared));
}

void CPdfPage::AddResource(const char* key, std::unique_ptr<CPdfIndirectObject> owned) {
    if (!owned) return;
    resources_->Set(key, ReferenceTo(owned.get()));
    ownedResources_.push_back(std::move(owned));
}

void CPdfPage::SetMediaBox(int32_t width, int32_t height) {
    Dictionary().Set("MediaBox", IntegerArray({0, 0, width, height}));
}

void CPdfPage::SetCropBox(int32_t left, int32_t bottom, int32_t right, int32_t top) {
    Dictionary().Set("CropBox", IntegerArray({left, bottom, right, top}));
}

CPdfPages::CPdfPages(int32_t* counter, const CPdfIndirectObject* parent) : CPdfDictObject(counter) {
    Dictionary().SetName("Type", "Pages");
    if (parent) Dictionary().Set("Parent", ReferenceTo(parent));
}

bool CPdfPages::Write(FILE* file, CPdfXrefTable* xref) {
    auto kids = std::make_unique<CPdfArray>();
    for (const auto& child : children_) kids->Add(ReferenceTo(child.get()));
    for (const auto& page : pages_) kids->Add(ReferenceTo(page.get()));
    Dictionary().Set("Kids", std::move(kids));
    Dictionary().SetInteger("Count", CountPages());
    if (!CPdfIndirectObject::Write(file, xref)) return false;
    for (const auto& child : children_) {
        if (!child->Write(file, xref)) return false;
    }
    for (const auto& page : pages_) {
        if (!page->Write(file, xref)) return false;
    }
    return true;
}

CPdfPage* CPdfPages::AddPage(int32_t* counter) {
    pages_.push_back(std::make_unique<CPdfPage>(counter, this));
    return pages_.back().get();
}

CPdfPages* CPdfPages::AddPagesNode(int32_t* counter) {
    children_.push_back(std::make_unique<CPdfPages>(counter, this));
    return children_.back().get();
}

void CPdfPages::SetMediaBox(int32_t width, int32_t height) {
    Dictionary().Set("MediaBox", IntegerArray({0, 0, width, height}));
}

int32_t CPdfPages::CountPages() const {
    int32_t count = int32_t(pages_.size());
    for (const auto& child : children_) count += child->CountPages();
    return count;
}

CPdfOutlineItem::CPdfOutlineItem(int32_t* counter, CPdfOutlineItem* parent)
    : CPdfDictObject(counter), parent_(parent) {
    if (parent) Dictionary().Set("Parent", ReferenceTo(parent));
    else Dictionary().SetName("Type", "Outlines");
}

CPdfOutlineItem* CPdfOutlineItem::AddItem(int32_t* counter) {
    children_.push_back(std::make_unique<CPdfOutlineItem>(counter, this));
    return children_.back().get();
}

void CPdfOutlineItem::SetTitle(const char* text) {
    if (parent_) title_ = text ? text : "";
}

void CPdfOutlineItem::SetDest(const CPdfPage* page, const char* mode, int32_t left, int32_t bottom, int32_t right,
                              int32_t top) {
    if (!parent_ || !mode) return;
    auto dest = std::make_unique<CPdfArray>();
    dest->Add(ReferenceTo(page));
    dest->AddName(mode);
    const auto add = [&](std::initializer_list<int32_t> values) {
        for (int32_t value : values) dest->AddInteger(value);
    };
    if (std::strcmp(mode, "XYZ") == 0) {
        if (left != 0 || top != 0 || bottom != 0) add({left, top, bottom});
    } else if (std::strcmp(mode, "FitH") == 0) {
        add({top});
    } else if (std::strcmp(mode, "FitV") == 0 || std::strcmp(mode, "FitBV") == 0) {
        add({left});
    } else if (std::strcmp(mode, "FitR") == 0) {
        add({left, bottom, right, top});
    }
    Dictionary().Set("Dest", std::move(dest));
}

int32_t CPdfOutlineItem::CountDescendants() const {
    int32_t count = int32_t(children_.size());
    for (const auto& child : children_) count += child->CountDescendants();
    return count;
}

bool CPdfOutlineItem::Write(FILE* file, CPdfXrefTable* xref) {
    CPdfDictionary& dictionary = Dictionary();
    if (parent_) {
        dictionary.SetString("Title", title_.c_str());
        const auto& siblings = parent_->children_;
        for (size_t i = 0; i < siblings.size(); ++i) {
            if (siblings[i].get() != this) continue;
            if (i > 0) dictionary.Set("Prev", ReferenceTo(siblings[i - 1].get()));
            if (i + 1 < siblings.size()) dictionary.Set("Next", ReferenceTo(siblings[i + 1].get()));
        }
    } else {
        dictionary.Remove("Title");
    }
    if (!children_.empty()) {
        dictionary.Set("First", ReferenceTo(children_.front().get()));
        dictionary.Set("Last", ReferenceTo(children_.back().get()));
    }
    dictionary.SetInteger("Count", CountDescendants());
    if (!CPdfIndirectObject::Write(file, xref)) return false;
    for (const auto& child : children_) {
        if (!child->Write(file, xref)) return false;
    }
    return true;
}

CPdfCatalog::CPdfCatalog(int32_t* counter) : CPdfDictObject(counter) {
    outlines_ = std::make_unique<CPdfOutlineItem>(counter, nullptr);
    pages_ = std::make_unique<CPdfPages>(counter, nullptr);
    Dictionary().SetName("Type", "Catalog");
    Dictionary().Set("Pages", ReferenceTo(pages_.get()));
    Dictionary().Set("Outlines", ReferenceTo(outlines_.get()));
}

bool CPdfCatalog::Write(FILE* file, CPdfXrefTable* xref) {
    return CPdfIndirectObject::Write(file, xref) && outlines_->Write(file, xref) && pages_->Write(file, xref);
}

} // namespace tracemill::render
