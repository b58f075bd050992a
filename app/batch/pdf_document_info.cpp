#include "app/batch/pdf_document_info.h"

#include <cstdio>
#include <utility>

#include "app/render/pdf/pdf_document.h"

namespace tracemill {

std::string FormatPdfCreationDate(std::time_t moment) {
    std::tm local{};
    char text[64];
    if (!localtime_r(&moment, &local)) {
        std::tm utc{};
        if (!gmtime_r(&moment, &utc)) return "D:19700101000000";
        std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d", utc.tm_year + 1900, utc.tm_mon + 1,
                      utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
        return text;
    }
    // The offset of this moment, daylight saving included, in whole minutes east of UTC.
    long offsetMinutes = local.tm_gmtoff / 60;
    const char* sign = "+";
    if (offsetMinutes < 0) {
        sign = "-";
        offsetMinutes = -offsetMinutes;
    }
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%s%02ld'%02ld'", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offsetMinutes / 60, offsetMinutes % 60);
    return text;
}

void AddPdfDocumentInfo(render::CPdfDocument& document, const PdfDocumentTexts& texts, std::time_t moment) {
    const std::pair<const char*, const std::string*> entries[] = {
        {"Title", &texts.title}, {"Author", &texts.author}, {"Subject", &texts.subject}, {"Keywords", &texts.keywords}};
    for (const auto& [key, text] : entries) {
        if (!text->empty()) document.SetInfo(key, text->c_str());
    }
    document.SetInfo("CreationDate", FormatPdfCreationDate(moment).c_str());
}

} // namespace tracemill
