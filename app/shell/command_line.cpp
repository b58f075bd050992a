// The pass over the arguments, the result file, drawing conversions through the conversion
// library and the combined PDF document of the run.
#include "app/shell/command_line.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cmath>
#include <ctime>
#include <limits>
#include <new>
#include <vector>

#include "app/batch/pdf_document_info.h"
#include "app/render/conversion_calls.h"
#include "app/render/drawing_object.h"
#include "app/render/pdf/pdf_document.h"
#include "app/services/file_paths.h"
#include "app/shell/terminal_progress.h"
#include "app/convert/conversion_library.h"
#include "toolkit/core/file_problems.h"

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

bool hasDrawingExtension(const std::string& path) {
    const std::string extension = commandLineLower(GetPathExt(path));
    return extension == ".dxf" || extension == ".dwg" || extension == ".dwf" || extension == ".dwt";
}

constexpr std::string_view kValueOptions[] = {"/p", "/w", "/h", "/b", "/j", "/f", "/a", "/d", "/l"};

bool isValueOption(const std::string& option) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) != std::end(kValueOptions);
}

// How a value reads as a number: wholly, only at its start ("12px") or not at all ("abc").
enum class NumberFit { Whole, Start, None };

NumberFit numberFit(std::string_view text, bool decimal) {
    text = commandLineNumberStart(text);
    const char* end = text.data() + text.size();
    std::from_chars_result result{};
    if (decimal) {
        double value = 0.0;
        result = std::from_chars(text.data(), end, value, std::chars_format::general);
        if (result.ec != std::errc() || !std::isfinite(value)) return NumberFit::None;
    } else {
        int64_t value = 0;
        result = std::from_chars(text.data(), end, value);
        if (result.ec == std::errc::invalid_argument) return NumberFit::None;
    }
    return result.ptr == end ? NumberFit::Whole : NumberFit::Start;
}

std::string decimalText(double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// Why an argument that should name a drawing does not (code 4): the system's reason when there
// is no such file, what it is instead, or its extension.
std::string notADrawingReason(const std::string& argument) {
    const bool looksLikeOption = (argument[0] == '/' || argument[0] == '-') &&
                                 argument.find('/', 1) == std::string::npos;
    std::string problem = dbReadProblem(argument);
    if (looksLikeOption && !problem.empty() && !DirectoryExists(argument))
        return "unknown option; tracemill --help lists the options";
    if (!problem.empty() && (hasDrawingExtension(argument) || !FileExists(argument))) return problem;
    const std::string extension = GetPathExt(argument);
    std::string reason = extension.empty() ? std::string("the name has no extension")
                                           : "the extension \"" + extension + "\" is none";
    reason += " of .dwg, .dxf, .dwf and .dwt";
    if (commandLineLower(extension) == ".dxfb") reason += "; a binary DXF drawing is read under the extension .dxf";
    return reason;
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
        Say("tracemill: the result file cannot be written: " + std::string(std::strerror(errno)));
        allSucceeded_ = false;
        resultFile_.reset();
    }
}

void CCommandLine::Report(int code, const std::string& subject, const std::string& reason) {
    if (code != kCommandLineDone) {
        Say("tracemill: " + subject + ": " + reason + " (code " + std::to_string(code) + ": " +
            CommandLineCodeMeaning(code) + ")");
    }
    WriteCode(code);
}

void CCommandLine::Say(const std::string& line) {
    if (progress_) progress_->Clear();
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void CCommandLine::Warn(const std::string& option, const std::string& value, const std::string& what) {
    Say("tracemill: warning: " + option + " " + value + ": " + what);
}

void CCommandLine::Incomplete(const std::string& what) {
    Say("tracemill: " + what);
    std::fputs(TracemillUsageText().c_str(), stderr);
    allSucceeded_ = false;
}

void CCommandLine::OpenResultFile(const std::string& name) {
    if (resultFile_) {
        if (std::fclose(resultFile_.release()) != 0) allSucceeded_ = false;
    }
    resultFile_.reset(std::fopen(name.c_str(), "w"));
    if (!resultFile_) {
        Say("tracemill: " + name + ": the result file cannot be made: " + std::string(std::strerror(errno)));
        allSucceeded_ = false;
    }
}

bool CCommandLine::ConvertDrawingFile(size_t& index, std::string_view option) {
    settings_.drawingConversion = true;
    const int format = char(option[1] | 0x20) == 'x' ? kConvertFormatDxf : kConvertFormatDwg;
    const int version = DrawingVersionCode(option.substr(2));
    const std::string named(option);
    if (index + 1 >= arguments_.size() || arguments_[index + 1].empty()) {
        Incomplete(named + " names no source drawing and no target");
        return false;
    }
    const std::string& source = arguments_[++index];
    if (!hasDwgOrDxfExtension(source) || !FileExists(source)) {
        // The argument after a refused source is read on its own.
        std::string reason = dbReadProblem(source);
        if (reason.empty() || (FileExists(source) && !hasDwgOrDxfExtension(source)))
            reason = "the source of " + named + " must be a .dwg or .dxf file";
        Report(kCommandLineNotADrawing, source, reason);
        return true;
    }
    if (index + 1 >= arguments_.size() || arguments_[index + 1].empty()) {
        Incomplete(named + " " + source + " names no target: the file to write comes after the source");
        return false;
    }
    const std::string& target = arguments_[++index];
    const int result = GetConversionLibrary().convert(source.c_str(), nullptr, target.c_str(), version, format,
                                                      GetConversionSerial());
    if (result == kConvertDone) {
        WriteCode(kCommandLineDone);
    } else if (result == kConvertPasswordNeeded) {
        Report(kCommandLinePasswordNeeded, source, "the drawing is protected by a password");
    } else {
        // The library's reason names the file it is about first.
        std::string reason = DWG_GetLastMessage();
        if (result == kConvertWriteFailed) {
            if (const std::string problem = dbWriteProblem(target); !problem.empty())
                reason = target + " cannot be written: " + problem;
        } else if (reason.starts_with(source + ": ")) {
            reason.erase(0, source.size() + 2);
        }
        if (reason.empty()) reason = "the conversion library gives result " + std::to_string(result);
        Report(kCommandLineConversionFailed, source, reason);
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
        Report(kCommandLineNoSize, "the combined PDF", "it has no name; name it with /d NAME");
    } else if (!document->Save(settings_.combinedPdfName.c_str())) {
        Report(kCommandLineVectorFailed, "the combined PDF", WriteFailure(settings_.combinedPdfName));
    }
}

int CCommandLine::CountDrawingsToExport() const {
    int count = 0;
    bool convertMode = false;
    for (size_t i = 0; i < arguments_.size() && !arguments_[i].empty(); ++i) {
        const std::string option = commandLineLower(arguments_[i]);
        if (IsDrawingConversionOption(arguments_[i])) {
            i += 2;
        } else if (option == "/r") {
            convertMode = true;
        } else if (isValueOption(option)) {
            ++i;
        } else if (option != "/m" && option != "/e" && convertMode) {
            ++count;
        }
    }
    return count;
}

bool CCommandLine::ReadValue(const std::string& option, const std::string& value) {
    const bool decimal = option == "/w" || option == "/h";
    // What a warning says of the value: how it was read, then how it was clamped.
    std::vector<std::string> notes;
    if (option != "/d" && option != "/l") {
        const NumberFit fit = numberFit(value, decimal);
        if (fit == NumberFit::None) notes.emplace_back("not a number, read as 0");
        if (fit == NumberFit::Start)
            notes.push_back("read as " + (decimal ? decimalText(CommandLineDecimal(value))
                                                  : std::to_string(CommandLineInteger(value))));
    }
    const int64_t read = CommandLineInteger(value);
    const auto clamped = [&](int64_t low, int64_t high, const char* what) {
        const int64_t result = std::clamp<int64_t>(read, low, high);
        if (result != read)
            notes.push_back(std::string(what) + " " + std::to_string(low) + " to " + std::to_string(high) + ", " +
                            std::to_string(result) + " is used");
        return result;
    };
    bool goOn = true;
    switch (option[1]) {
    case 'p': settings_.colorMode = int16_t(clamped(1, 3, "colours are")); break;
    case 'w':
    case 'h': {
        double size = CommandLineDecimal(value);
        if (size < 0.00001) {
            if (size != 0.0) notes.emplace_back("a size below 0.00001 is 0");
            size = 0.0;
        }
        (option[1] == 'w' ? settings_.width : settings_.height) = size;
        break;
    }
    case 'b': settings_.backgroundColor = int16_t(clamped(0, 255, "background colour indexes are")); break;
    case 'j': settings_.jpegQuality = int16_t(clamped(1, 10, "JPEG qualities are")); break;
    case 'f': {
        int64_t format = std::clamp<int64_t>(read, 1, 108);
        if (format >= 5 && format <= 100) format = 4;
        if (format != read)
            notes.push_back("no such format, " + std::to_string(format) + " (" + CommandLineFormatName(int(format)) +
                            ") is used; tracemill --help lists the formats");
        settings_.format = int16_t(format);
        if (format == kFormatCombinedPdf && !MakeCombinedDocument()) {
            Report(kCommandLineRasterFailed, "the combined PDF", "its document cannot be made");
            goOn = false;
        }
        break;
    }
    case 'a':
        settings_.layout = int32_t(std::clamp<int64_t>(read, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max()));
        if (settings_.layout < -2) notes.emplace_back("layouts are -2, -1, 0 and above; it acts as -1, the current one");
        break;
    case 'd': settings_.combinedPdfName = value; break;
    case 'l':
        if (settings_.convertMode) OpenResultFile(value);
        else notes.emplace_back("a result file is only written after /r; no codes are written");
        break;
    }
    if (!notes.empty()) {
        std::string text;
        for (const std::string& note : notes) text += (text.empty() ? "" : "; ") + note;
        Warn(option, value, text);
    }
    return goOn;
}

void CCommandLine::TakeDrawing(const std::string& argument) {
    if (settings_.convertMode && progress_) progress_->Start(++drawingsTaken_, drawingsToExport_, argument);
    if (!hasDrawingExtension(argument) || !FileExists(argument)) {
        Report(kCommandLineNotADrawing, argument, notADrawingReason(argument));
    } else if (!settings_.convertMode) {
        if (openDocument_) openDocument_(argument);
    } else {
        ConvertDrawing(argument);
    }
}

bool CCommandLine::Run() {
    settings_ = CommandLineSettings{};
    drawingsToExport_ = CountDrawingsToExport();
    drawingsTaken_ = 0;
    if (drawingsToExport_ > 0) {
        progress_ = std::make_unique<CTerminalProgress>();
        if (!progress_->Active()) progress_.reset();
    }
    bool ended = false;  // the combined document could not be made
    bool drawingNamed = false;
    for (size_t i = 0; i < arguments_.size() && !ended; ++i) {
        const std::string& argument = arguments_[i];
        if (argument.empty()) {
            if (i + 1 < arguments_.size())
                Say("tracemill: warning: an empty argument ends the command line; what follows it is not read");
            break;
        }
        if (IsDrawingConversionOption(argument)) {
            if (!ConvertDrawingFile(i, argument)) break;
            drawingNamed = true;
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
        if (isValueOption(option)) {
            std::string value;
            // An option without its value ends the pass.
            if (!TakeValue(i, value)) {
                Say("tracemill: warning: " + argument + " is the last argument and has no value; it is not read");
                break;
            }
            if (!ReadValue(option, value)) ended = true;
            continue;
        }
        // Anything else names a drawing.
        if (settings_.convertMode) drawingNamed = true;
        TakeDrawing(argument);
    }
    if (!ended && !settings_.convertMode && !settings_.drawingConversion) {
        combinedDocument_.reset();
        progress_.reset();
        return true;
    }
    if (!ended) FinishCombinedDocument();
    if (!ended && !drawingNamed && settings_.convertMode) Incomplete("/r names no drawing to convert");
    combinedDocument_.reset();
    drawing_.reset();
    progress_.reset();
    if (resultFile_ && std::fclose(resultFile_.release()) != 0) allSucceeded_ = false;
    return false;
}

} // namespace tracemill
