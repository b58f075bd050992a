// The document information of a PDF file the program writes: the four texts the user may give
// (title, author, subject, keywords) and the creation date, "D:YYYYMMDDHHmmSS" followed by the
// local time's offset from UTC as "+HH'mm'" or "-HH'mm'".
#pragma once

#include <ctime>
#include <string>

namespace tracemill {

namespace render {
class CPdfDocument;
}

struct PdfDocumentTexts {
    std::string title;
    std::string author;
    std::string subject;
    std::string keywords;
};

// The creation date of a file written at `moment`, in the local time of the process's time
// zone with the offset that zone has at that moment (daylight saving included). Without a
// local time for the moment the text is the UTC time without an offset.
std::string FormatPdfCreationDate(std::time_t moment);

// Adds "Title", "Author", "Subject" and "Keywords" (each only when not empty) and
// "CreationDate" of `moment` to the document's information dictionary.
void AddPdfDocumentInfo(render::CPdfDocument& document, const PdfDocumentTexts& texts, std::time_t moment);

} // namespace tracemill
