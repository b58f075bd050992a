// The pass over the arguments, the result file, drawing conversions through the conversion
// library and the combined PDF document of the run.
#include "app/shell/command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <new>

#include "app/batch/pdf_document_info.h"
#include "app/render/conversion_calls.h"
#include "app/render/drawing_object.h"
#include "app/render/pdf/pdf_document.h"
#include "app/shell/file_paths.h"
#include "platform/convert/conversion_library.h"

namespace tracemill {
namespace {

std::string commandLineLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return lower;
}

// The text after leading blanks and one '+'.
std::string_view commandLineNumberStart(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    text.remove_prefix(start);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return text;
}

bool hasDwgOrDxfExtension(const std::string& path) {
    const std::string extension = commandLineLower(GetPathExt(path));
    return extension == ".dwg" || extension == ".dxf";
}

} // namespace

int DrawingVersionCode(std::string_view versionText) {
    static constexpr std::pair<std::string_view, int> kVersionCodes[] = {
        {"25", 1}, {"26", 2}, {"9", 3}, {"10", 4}, {"11", 5}, {"12", 5}, {"13", 6}, {"14", 7}};
    for (const auto& [text, code] : kVersionCodes) {
        if (text == versionText) return code;
    }
    return kConvertVersion2000;
}

bool IsDrawingConversionOption(std::string_view argument) {
    if (argument.size() < 2 || argument[0] != '/') return false;
    const char letter = char(argument[1] | 0x20);
    if (letter != 'x' && letter != 'g') return false;
    return std::all_of(argument.begin() + 2, argument.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LayoutNameForFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7f) c = '_';
    }
    return safe;
}

double CommandLineDecimal(std::string_view text) {
    text = commandLineNumberStart(text);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int64_t CommandLineInteger(std::string_view text) {
    text = commandLineNumberStart(text);
    int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return !text.empty() && text.front() == '-' ? std::numeric_limits<int64_t>::min()
                                                   : std::numeric_limits<int64_t>::max();
    }
    return result.ec == std::errc() ? value : 0;
}

bool CommandLineConverts(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return commandLineLower(argument) == "/r" || IsDrawingConversionOption(argument);
    });
}

void CCommandLine::FileCloser::operator()(std::FILE* file) const { std::fclose(file); }

CCommandLine::CCommandLine(std::vector<std::string> arguments, std::function<void(const std::string&)> openDocument)
    : arguments_(std::move(arguments)), openDocument_(std::move(openDocument)) {}

CCommandLine::~CCommandLine() = default;

bool CCommandLine::TakeValue(size_t& index, std::string& value) const {
    if (index + 1 >= arguments_.size()) return false;
    value = arguments_[++index];
    return true;
}

void CCommandLine::WriteCode(int code) {
    if (code != kCommandLineDone) allSucceeded_ = false;
    if (!resultFile_) return;
    // Each code reaches the file at once, so a run that ends abruptly leaves the codes so far.
    if (std::fprintf(resultFile_.get(), "%d\n", code) < 0 || std::fflush(resultFile_.get()) != 0) {
        std::fprintf(stderr, "tracemill: the result file cannot be written\n");
        allSucceeded_ = false;
        resultFile_.reset();
    }
}

void CCommandLine::OpenResultFile(const std::string& name) {
    if (resultFile_) {
        if (std::fclose(resultFile_.release()) != 0) allSucceeded_ = false;
    }
    resultFile_.reset(std::fopen(name.c_str(), "w"));
    if (!resultFile_) {
        std::fprintf(stderr, "tracemill: %s: the result file cannot be made\n", name.c_str());
        allSucceeded_ = false;
    }
}

bool CCommandLine::ConvertDrawingFile(size_t& index, std::string_view option) {
    settings_.drawingConversion = true;
    const int format = char(option[1] | 0x20) == 'x' ? kConvertFormatDxf : kConvertFormatDwg;
    const int version = DrawingVersionCode(option.substr(2));
    if (index + 1 >= arguments_.size() || arguments_[index + 1].empty()) return false;
    const std::string& source = arguments_[++index];
    if (!hasDwgOrDxfExtension(source) || !FileExists(source)) {
        // The argument after a refused source is read on its own.
        WriteCode(kCommandLineNotADrawing);
        return true;
    }
    if (index + 1 >= arguments_.size() || arguments_[index + 1].empty()) return false;
    const std::string& target = arguments_[++index];
    const int result = GetConversionLibrary().convert(source.c_str(), nullptr, target.c_str(), version, format,
                                                      GetConversionSerial());
    if (result == kConvertDone) {
        WriteCode(kCommandLineDone);
    } else if (result == kConvertPasswordNeeded) {
        WriteCode(kCommandLinePasswordNeeded);
    } else {
        // The library's reason names the files itself.
        const std::string reason = DWG_GetLastMessage();
        if (reason.empty()) {
            std::fprintf(stderr, "tracemill: %s: the conversion failed (%d)\n", source.c_str(), result);
        } else {
            std::fprintf(stderr, "tracemill: %s\n", reason.c_str());
        }
        WriteCode(kCommandLineConversionFailed);
    }
    return true;
}

bool CCommandLine::MakeCombinedDocument() {
    // One combined document per run: a later "/f 105" goes on adding pages to it.
    if (combinedDocument_) return true;
    combinedDocument_.reset(new (std::nothrow) render::CPdfDocument);
    if (!combinedDocument_) return false;
    AddPdfDocumentInfo(*combinedDocument_, PdfDocumentTexts{}, std::time(nullptr));
    return true;
}

void CCommandLine::FinishCombinedDocument() {
    if (!combinedDocument_) return;
    std::unique_ptr<render::CPdfDocument> document = std::move(combinedDocument_);
    if (document->GetCatalog()->GetPages()->CountPages() == 0) return;
    if (settings_.combinedPdfName.empty()) {
        WriteCode(kCommandLineNoSize);
    } else if (!document->Save(settings_.combinedPdfName.c_str())) {
        std::fprintf(stderr, "tracemill: %s cannot be written\n", settings_.combinedPdfName.c_str());
        WriteCode(kCommandLineVectorFailed);
    }
}

bool CCommandLine::Run() {
    settings_ = CommandLineSettings{};
    bool ended = false;  // the combined document could not be made
    for (size_t i = 0; i < arguments_.size() && !ended; ++i) {
        const std::string& argument = arguments_[i];
        if (argument.empty()) break;
        if (IsDrawingConversionOption(argument)) {
            if (!ConvertDrawingFile(i, argument)) break;
            continue;
        }
        const std::string option = commandLineLower(argument);
        if (option == "/r") {
            settings_.convertMode = true;
            continue;
        }
        if (option == "/m") {
            settings_.maskFile = true;
            continue;
        }
        if (option == "/e") {
            settings_.zoomExtents = true;
            continue;
        }
        static constexpr std::string_view kValueOptions[] = {"/p", "/w", "/h", "/b", "/j", "/f", "/a", "/d", "/l"};
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), option) != std::end(kValueOptions)) {
            std::string value;
            // An option without its value ends the pass.
            if (!TakeValue(i, value)) break;
            const auto integer = [&](int64_t low, int64_t high) {
                return std::clamp<int64_t>(CommandLineInteger(value), low, high);
            };
            switch (option[1]) {
            case 'p': settings_.colorMode = int16_t(integer(1, 3)); break;
            case 'w':
            case 'h': {
                double size = CommandLineDecimal(value);
                if (size < 0.00001) size = 0.0;
                (option[1] == 'w' ? settings_.width : settings_.height) = size;
                break;
            }
            case 'b': settings_.backgroundColor = int16_t(integer(0, 255)); break;
            case 'j': settings_.jpegQuality = int16_t(integer(1, 10)); break;
            case 'f': {
                int64_t format = integer(1, 108);
                if (format >= 5 && format <= 100) format = 4;
                settings_.format = int16_t(format);
                if (format == kFormatCombinedPdf && !MakeCombinedDocument()) {
                    WriteCode(kCommandLineRasterFailed);
                    ended = true;
                }
                break;
            }
            case 'a':
                settings_.layout = int32_t(integer(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
                break;
            case 'd': settings_.combinedPdfName = value; break;
            case 'l':
                if (settings_.convertMode) OpenResultFile(value);
                break;
            }
            continue;
        }
        // Anything else names a drawing.
        const std::string extension = commandLineLower(GetPathExt(argument));
        const bool drawingExtension =
            extension == ".dxf" || extension == ".dwg" || extension == ".dwf" || extension == ".dwt";
        if (!drawingExtension || !FileExists(argument)) {
            WriteCode(kCommandLineNotADrawing);
        } else if (!settings_.convertMode) {
            if (openDocument_) openDocument_(argument);
        } else {
            ConvertDrawing(argument);
        }
    }
    if (!ended && !settings_.convertMode && !settings_.drawingConversion) {
        combinedDocument_.reset();
        return true;
    }
    if (!ended) FinishCombinedDocument();
    combinedDocument_.reset();
    drawing_.reset();
    if (resultFile_ && std::fclose(resultFile_.release()) != 0) allSucceeded_ = false;
    return false;
}

} // namespace tracemill
