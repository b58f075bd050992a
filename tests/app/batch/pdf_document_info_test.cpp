// The document information of the PDF files the tools write: the creation date in the local
// time of the process's zone with the offset of that moment, and the four texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/batch/pdf_document_info.h"
#include "app/render/pdf/pdf_document.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "time_zone.h"

namespace tracemill::test {
namespace {

// 2026-01-15 12:00:00 UTC and 2026-07-15 12:00:00 UTC.
constexpr std::time_t kJanuary = 1768478400;
constexpr std::time_t kJuly = 1784116800;

TEST(PdfCreationDate, LocalTimeWithTheOffsetOfThatMoment) {
    struct Row {
        const char* zone;
        std::time_t moment;
        const char* expected;
    };
    const Row rows[] = {
        {"Asia/Shanghai", kJanuary, "D:20260115200000+08'00'"},
        {"America/New_York", kJanuary, "D:20260115070000-05'00'"},
        {"America/New_York", kJuly, "D:20260715080000-04'00'"},  // daylight saving
        {"UTC", kJanuary, "D:20260115120000+00'00'"},
        {"Asia/Kolkata", kJuly, "D:20260715173000+05'30'"},
        {"America/St_Johns", kJanuary, "D:20260115083000-03'30'"},
        {"Europe/Berlin", kJuly, "D:20260715140000+02'00'"},
        {"Pacific/Chatham", kJanuary, "D:20260116014500+13'45'"},
    };
    for (const Row& row : rows) {
        TimeZone zone(row.zone);
        EXPECT_EQ(FormatPdfCreationDate(row.moment), row.expected) << row.zone;
    }
}

std::string savedPdfText(render::CPdfDocument& document) {
    TempFolder folder;
    const std::string path = folder / "info.pdf";
    EXPECT_TRUE(document.Save(path.c_str()));
    const std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(PdfDocumentInfo, TextsOnlyWhenGivenAndTheCreationDate) {
    TimeZone zone("Asia/Kolkata");
    {
        render::CPdfDocument document;
        AddPdfDocumentInfo(document, {}, kJanuary);
        const std::string text = savedPdfText(document);
        EXPECT_NE(text.find("/CreationDate (D:20260115173000+05'30')"), std::string::npos);
        for (const char* key : {"/Title", "/Author", "/Subject", "/Keywords"}) EXPECT_EQ(text.find(key), std::string::npos);
        EXPECT_NE(text.find("/Producer"), std::string::npos);
    }
    {
        render::CPdfDocument document;
        AddPdfDocumentInfo(document, {"Plan", "", "Floors", "a, b"}, kJanuary);
        const std::string text = savedPdfText(document);
        EXPECT_NE(text.find("/Title (Plan)"), std::string::npos);
        EXPECT_EQ(text.find("/Author"), std::string::npos);
        EXPECT_NE(text.find("/Subject (Floors)"), std::string::npos);
        EXPECT_NE(text.find("/Keywords (a, b)"), std::string::npos);
    }
}

} // namespace
} // namespace tracemill::test
