// The PDF writer: whole files byte for byte, and the object texts as tables.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>

#include "app/render/devices/pdf_device_adapter.h"
#include "app/render/pdf/pdf_document.h"
#include "render_test_support.h"

namespace tracemill::render {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

// The text an object writes, through a memory stream.
std::string TextOf(CPdfObject& object) {
    char* data = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&data, &size);
    CPdfXrefTable xref;
    const bool ok = object.Write(file, &xref);
    std::fclose(file);
    std::string text(data, size);
    std::free(data);
    EXPECT_TRUE(ok);
    return text;
}

std::string Inflate(const std::string& packed) {
    std::string out(1 << 20, '\0');
    uLongf size = uLongf(out.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.data()), uLong(packed.size())),
              Z_OK);
    out.resize(size);
    return out;
}

// The bytes between "stream\n" and "\nendstream" of the first stream at or after `from`.
std::string StreamBytes(const std::string& file, size_t from = 0) {
    const size_t start = file.find("\nstream\n", from);
    const size_t end = file.find("\nendstream", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return file.substr(start + 8, end - start - 8);
}

TEST(PdfDocument, NewDocumentSavedAtOnce) {
    ScratchFolder folder("pdf-empty");
    CPdfDocument document;
    const std::string file = (folder / "empty.pdf").string();
    ASSERT_TRUE(document.Save(file.c_str()));
    EXPECT_EQ(ReadWholeFile(file),
              "%PDF-1.2\n1 0 obj\n<</Type /Catalog\n/Pages 3 0 R\n/Outlines 2 0 R>>\nendobj\n"
              "2 0 obj\n<</Type /Outlines\n/Count 0>>\nendobj\n3 0 obj\n<</Type /Pages\n/Kids []\n/Count 0>>\n"
              "endobj\n4 0 obj\n[/PDF /Text]\nendobj\n5 0 obj\n<</Producer (Kirv Tracemill)>>\nendobj\n"
              "xref\n0 6\n0000000000 65535 f \n0000000009 00000 n \n0000000072 00000 n \n0000000116 00000 n \n"
              "0000000166 00000 n \n0000000194 00000 n \ntrailer\n<</Size 6\n/Root 1 0 R\n/Info 5 0 R>>\n"
              "startxref\n240\n%%EOF\n");
    EXPECT_FALSE(document.Save(file.c_str())) << "a document is saved once";
}

TEST(PdfDocument, OnePageExampleInTreeOrderWithItsCrossReferences) {
    ScratchFolder folder("pdf-page");
    CPdfDocument document;
    int32_t* counter = document.GetObjectCounter();
    CPdfPages* pages = document.GetCatalog()->GetPages();
    pages->SetMediaBox(830, 630);
    CPdfPage* page = pages->AddPage(counter);
    document.AddSharedResources(page);
    page->SetMediaBox(830, 630);
    CPdfContent* content = page->AddContent(counter);
    content->SetLineWidth(0);
    CPdfDeviceAdapter adapter;
    adapter.SetContent(content);
    adapter.SetOrigin(15, 15);
    ASSERT_TRUE(adapter.Begin("", "", "", 800, 600));
    adapter.SetPen(gdi::rgb(255, 0, 0), 0);
    adapter.MoveTo(0, 0);
    adapter.LineTo(100, 0);
    adapter.LineTo(100, 70);
    ASSERT_TRUE(adapter.End());
    const std::string text = "0 w 1 J 1 j 1 0 0 RG 1 0 0 rg 15 15 m 115 15 l 115 85 l S";
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(content->Data()), content->Size()), text);

    const std::string file = (folder / "page.pdf").string();
    ASSERT_TRUE(document.Save(file.c_str()));
    const std::string written = ReadWholeFile(file);
    const std::string packed = StreamBytes(written);
    EXPECT_EQ(Inflate(packed), text);

    // Every byte but the compressed ones, in the file order 1, 2, 3, 6, 7, 8, 4, 5.
    const std::string objects =
        "%PDF-1.2\n1 0 obj\n<</Type /Catalog\n/Pages 3 0 R\n/Outlines 2 0 R>>\nendobj\n"
        "2 0 obj\n<</Type /Outlines\n/Count 0>>\nendobj\n"
        "3 0 obj\n<</Type /Pages\n/MediaBox [0 0 830 630]\n/Kids [6 0 R]\n/Count 1>>\nendobj\n"
        "6 0 obj\n<</Type /Page\n/Parent 3 0 R\n/Resources <</ProcSet 4 0 R>>\n/MediaBox [0 0 830 630]\n"
        "/Contents [7 0 R]>>\nendobj\n"
        "7 0 obj\n<</Filter [/FlateDecode]\n/Length 8 0 R>>\nstream\n" +
        packed + "\nendstream\nendobj\n8 0 obj\n" + std::to_string(packed.size()) +
        "\nendobj\n4 0 obj\n[/PDF /Text]\nendobj\n5 0 obj\n<</Producer (Kirv Tracemill)>>\nendobj\n";
    ASSERT_EQ(written.substr(0, objects.size()), objects);

    std::string xref = "xref\n0 9\n0000000000 65535 f \n";
    for (int number = 1; number <= 8; ++number) {
        const size_t at = objects.find("\n" + std::to_string(number) + " 0 obj\n");
        ASSERT_NE(at, std::string::npos);
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", at + 1);
        xref += entry;
    }
    EXPECT_EQ(written.substr(objects.size()), xref + "trailer\n<</Size 9\n/Root 1 0 R\n/Info 5 0 R>>\nstartxref\n" +
                                                  std::to_string(objects.size()) + "\n%%EOF\n");
    EXPECT_EQ(written.substr(objects.size(), 5), "xref\n");
}

TEST(PdfDocument, EmptyContentStreamLengthIsItsCompressedSize) {
    ScratchFolder folder("pdf-empty-stream");
    CPdfDocument document;
    CPdfPage* page = document.GetCatalog()->GetPages()->AddPage(document.GetObjectCounter());
    page->AddContent(document.GetObjectCounter());
    const std::string file = (folder / "blank.pdf").string();
    ASSERT_TRUE(document.Save(file.c_str()));
    const std::string written = ReadWholeFile(file);
    const std::string packed = StreamBytes(written);
    EXPECT_EQ(Inflate(packed), "");
    EXPECT_EQ(packed.size(), 8u); // a zlib stream of no bytes
    EXPECT_NE(written.find("8 0 obj\n" + std::to_string(packed.size()) + "\nendobj\n"), std::string::npos);
}

TEST(PdfDocument, UncompressedContentWrittenAsItIs) {
    int32_t counter = 10;
    CPdfContent content(&counter);
    EXPECT_EQ(counter, 11); // the length object's number
    content.MoveTo(1, 2);
    content.Stroke(false);
    EXPECT_EQ(TextOf(content), "<</Length 10 0 R>>\nstream\n1 2 m S\nendstream");
    EXPECT_EQ(TextOf(content.LengthObject()), "10 0 obj\n7\nendobj\n");
}

TEST(PdfObjects, TextsOfTheObjects) {
    int32_t counter = 7;
    CPdfIndirectObject target(&counter);
    struct Case {
        const char* name;
        std::unique_ptr<CPdfObject> object;
        std::string text;
    };
    std::vector<Case> cases;
    cases.push_back({"escaped string", std::make_unique<CPdfString>("a(b)\\c"), "(a\\(b\\)\\\\c)"});
    cases.push_back({"long string whole", std::make_unique<CPdfString>(std::string(3000, 'x') + ")"),
                     "(" + std::string(3000, 'x') + "\\))"});
    cases.push_back({"long name whole", std::make_unique<CPdfName>(std::string(2000, 'N')), "/" + std::string(2000, 'N')});
    cases.push_back({"true", std::make_unique<CPdfBool>(true), "true"});
    cases.push_back({"false", std::make_unique<CPdfBool>(false), "false"});
    cases.push_back({"negative integer", std::make_unique<CPdfInteger>(-2147483647 - 1), "-2147483648"});
    cases.push_back({"real trimmed", std::make_unique<CPdfReal>(-2.50), "-2.5"});
    cases.push_back({"reference", std::make_unique<CPdfReference>(&target), "7 0 R"});
    cases.push_back({"reference without target", std::make_unique<CPdfReference>(nullptr), "null"});
    cases.push_back({"indirect without value", std::make_unique<CPdfIndirectObject>(&counter), "8 0 obj\nnull\nendobj\n"});
    auto array = std::make_unique<CPdfArray>();
    array->AddInteger(1);
    array->Add(nullptr);
    array->AddName("N");
    array->AddReal(0.125);
    array->AddString("s");
    array->AddBool(false);
    cases.push_back({"array", std::move(array), "[1 null /N 0.12 (s) false]"});
    cases.push_back({"empty dictionary", std::make_unique<CPdfDictionary>(), "<<>>"});
    for (Case& c : cases) EXPECT_EQ(TextOf(*c.object), c.text) << c.name;
}

TEST(PdfObjects, ArrayEditing) {
    CPdfArray array;
    for (int i = 0; i < 4; ++i) array.AddInteger(i);
    EXPECT_EQ(array.GetAt(4), nullptr);
    array.SetAt(1, std::make_unique<CPdfName>("One"));
    array.SetAt(9, std::make_unique<CPdfName>("Ignored"));
    array.RemoveAt(2);
    array.RemoveAt(7);
    EXPECT_EQ(array.GetCount(), 3u);
    EXPECT_EQ(TextOf(array), "[0 /One 3]");
}

TEST(PdfObjects, DictionarySetKeepsOneEntryInPlace) {
    CPdfDictionary dictionary;
    dictionary.SetInteger("A", 1);
    dictionary.SetName("B", "Two");
    dictionary.SetString("C", "three");
    dictionary.SetInteger("A", 4);
    dictionary.SetString("a", "case matters");
    dictionary.SetString("Skipped", nullptr);
    EXPECT_EQ(TextOf(dictionary), "<</A 4\n/B /Two\n/C (three)\n/a (case matters)>>");
    dictionary.Add("A", std::make_unique<CPdfBool>(true)); // Add does not look
    EXPECT_EQ(dictionary.GetCount(), 5u);
    dictionary.Remove("B");
    EXPECT_EQ(dictionary.GetValue("B"), nullptr);
    EXPECT_EQ(TextOf(*dictionary.GetValue("A")), "4");
    EXPECT_EQ(TextOf(dictionary), "<</A 4\n/C (three)\n/a (case matters)\n/A true>>");
}

TEST(PdfOutlines, DestinationsTitlesAndTheRoot) {
    CPdfDocument document;
    int32_t* counter = document.GetObjectCounter();
    CPdfPage* page = document.GetCatalog()->GetPages()->AddPage(counter); // 6
    CPdfOutlineItem* root = document.GetCatalog()->GetOutlines();
    root->SetTitle("ignored");
    root->SetDest(page, "FitR", 1, 2, 3, 4);
    EXPECT_EQ(TextOf(root->Dictionary()), "<</Type /Outlines>>");

    struct DestCase {
        const char* mode;
        int32_t left, bottom, right, top;
        const char* dest;
    };
    const DestCase cases[] = {
        {"XYZ", 0, 0, 0, 0, "[6 0 R /XYZ]"},         {"XYZ", 1, 2, 3, 4, "[6 0 R /XYZ 1 4 2]"},
        {"FitR", 0, 0, 0, 0, "[6 0 R /FitR 0 0 0 0]"}, {"FitR", 1, 2, 3, 4, "[6 0 R /FitR 1 2 3 4]"},
        {"FitH", 1, 2, 3, 4, "[6 0 R /FitH 4]"},       {"FitV", 1, 2, 3, 4, "[6 0 R /FitV 1]"},
        {"FitBV", 1, 2, 3, 4, "[6 0 R /FitBV 1]"},     {"Fit", 1, 2, 3, 4, "[6 0 R /Fit]"},
    };
    CPdfOutlineItem* item = root->AddItem(counter);
    for (const DestCase& c : cases) {
        item->SetDest(page, c.mode, c.left, c.bottom, c.right, c.top);
        EXPECT_EQ(TextOf(*item->Dictionary().GetValue("Dest")), c.dest) << c.mode;
    }
}

TEST(PdfOutlines, TreeEntriesWrittenWithTheItems) {
    ScratchFolder folder("pdf-outlines");
    CPdfDocument document;
    int32_t* counter = document.GetObjectCounter();
    CPdfPage* page = document.GetCatalog()->GetPages()->AddPage(counter);  // 6
    CPdfOutlineItem* root = document.GetCatalog()->GetOutlines();
    CPdfOutlineItem* first = root->AddItem(counter);                        // 7
    CPdfOutlineItem* second = root->AddItem(counter);                       // 8
    CPdfOutlineItem* child = first->AddItem(counter);                       // 9
    first->SetTitle("Model (1)");
    first->SetDest(page, "XYZ", 0, 0, 0, 0);
    second->SetTitle("Layout1");
    child->SetTitle("");
    document.SetInfo("Title", "Plan");
    const std::string file = (folder / "marks.pdf").string();
    ASSERT_TRUE(document.Save(file.c_str()));
    const std::string written = ReadWholeFile(file);
    const char* expected[] = {
        "2 0 obj\n<</Type /Outlines\n/First 7 0 R\n/Last 8 0 R\n/Count 3>>\nendobj\n"
        "7 0 obj\n<</Parent 2 0 R\n/Dest [6 0 R /XYZ]\n/Title (Model \\(1\\))\n/Next 8 0 R\n/First 9 0 R\n"
        "/Last 9 0 R\n/Count 1>>\nendobj\n"
        "9 0 obj\n<</Parent 7 0 R\n/Title ()\n/Count 0>>\nendobj\n"
        "8 0 obj\n<</Parent 2 0 R\n/Title (Layout1)\n/Prev 7 0 R\n/Count 0>>\nendobj\n",
        "5 0 obj\n<</Producer (Kirv Tracemill)\n/Title (Plan)>>\nendobj\n",
        "trailer\n<</Size 10\n",
    };
    for (const char* part : expected) EXPECT_NE(written.find(part), std::string::npos) << part;
}

TEST(PdfDocument, NumberedObjectNeverWrittenBecomesAFreeEntry) {
    ScratchFolder folder("pdf-gap");
    CPdfDocument document;
    { CPdfIndirectObject dropped(document.GetObjectCounter()); } // 6, never part of the file
    document.GetCatalog()->GetPages()->AddPage(document.GetObjectCounter()); // 7
    const std::string file = (folder / "gap.pdf").string();
    ASSERT_TRUE(document.Save(file.c_str()));
    const std::string written = ReadWholeFile(file);
    const size_t xref = written.find("xref\n0 8\n");
    ASSERT_NE(xref, std::string::npos);
    EXPECT_EQ(written.substr(xref + 9 + 6 * 20, 20), "0000000000 00000 f \n");
    EXPECT_NE(written.find("/Size 8\n"), std::string::npos);
}

TEST(PdfDocument, FailedSaveReportedAndLeavesNoFile) {
    ScratchFolder folder("pdf-fail");
    std::filesystem::create_directories(folder / "taken" / "inside");
    CPdfDocument onFolder;
    EXPECT_FALSE(onFolder.Save((folder / "taken").c_str()));
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"taken"});
    CPdfDocument nowhere;
    EXPECT_FALSE(nowhere.Save((folder / "missing" / "a.pdf").c_str()));
    CPdfDocument noPath;
    EXPECT_FALSE(noPath.Save(nullptr));
}

TEST(PdfContent, OperatorTexts) {
    int32_t counter = 1;
    struct Case {
        const char* name;
        std::function<bool(CPdfContent&)> append;
        const char* text;
    };
    const Case cases[] = {
        {"rgb stroke", [](CPdfContent& c) { return c.SetStrokeRgb(1, 0.5, 1.0 / 3); }, "1 0.5 0.333 RG "},
        {"gray fill without blank", [](CPdfContent& c) { return c.SetFillGray(0.25, false); }, "0.25 g"},
        {"cap clamped", [](CPdfContent& c) { return c.SetLineCap(7); }, "2 J "},
        {"join clamped", [](CPdfContent& c) { return c.SetLineJoin(-1); }, "0 j "},
        {"width", [](CPdfContent& c) { return c.SetLineWidth(0.72); }, "0.72 w "},
        {"no dash", [](CPdfContent& c) { return c.SetDash(0, 5, 2); }, "[] 0 d "},
        {"dash on only", [](CPdfContent& c) { return c.SetDash(3, 0, 1); }, "[3] 1 d "},
        {"dash", [](CPdfContent& c) { return c.SetDash(3, 2, 1, false); }, "[3 2] 1 d"},
        {"curve", [](CPdfContent& c) { return c.CurveTo(1, 2, 3, 4, 5.555, 6); }, "1 2 3 4 5.55 6 c "},
        {"curve v", [](CPdfContent& c) { return c.CurveToV(1, 2, 3, 4); }, "1 2 3 4 v "},
        {"curve y", [](CPdfContent& c) { return c.CurveToY(1, 2, 3, 4); }, "1 2 3 4 y "},
        {"rectangle", [](CPdfContent& c) { return c.Rectangle(0, 0, 10.5, 2); }, "0 0 10.5 2 re "},
        {"close", [](CPdfContent& c) { return c.ClosePath(); }, "h "},
        {"printf", [](CPdfContent& c) { return c.Printf("%d %s", 12, "Do"); }, "12 Do"},
    };
    for (const Case& c : cases) {
        CPdfContent content(&counter);
        EXPECT_TRUE(c.append(content)) << c.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(content.Data()), content.Size()), c.text) << c.name;
    }
    CPdfContent empty(&counter);
    EXPECT_FALSE(empty.Printf("%s", ""));
}

TEST(PdfContent, LargeStreamKeepsEveryByte) {
    int32_t counter = 1;
    CPdfContent content(&counter);
    std::string expected;
    const std::string chunk(300000, 'q');
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(content.Append(chunk.data(), chunk.size()));
        expected += chunk;
        ASSERT_TRUE(content.Append("x", 1));
        expected += 'x';
    }
    ASSERT_EQ(content.Size(), expected.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(content.Data()), content.Size()), expected);
}

} // namespace
} // namespace tracemill::render
