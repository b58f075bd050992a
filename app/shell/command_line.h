// The program's command line: read once, left to right, when the program starts with
// arguments. Plain drawing names open in windows; "/r" turns on convert mode, in which each
// drawing named after it is exported to a raster, vector or PDF file beside it, and "/x" or
// "/g" converts a drawing into a DXF or DWG file of another version. Each conversion can leave
// one result code, a line of its own, in the result file named by "/l".
//
// Every code other than 0 is also told on standard error, a line each: the drawing, the reason
// (the system's where a file cannot be read or written) and the code with its meaning. Values
// that are clamped or read only in part are named in a warning; on a terminal, a line shows
// which drawing of how many is being exported and how far.
//
// Options compare without regard to case; paths are kept as typed. Each option affects the
// drawings named after it:
//   /r          convert mode          /m   a mask image beside each raster image
//   /e          zoom to the extents (then one of width and height may be 0)
//   /w X, /h X  width, height (default 800 x 600; points for vector files, pixels for images)
//   /p N        colour mode 1 black and white, 2 grey, 3 colours (default)
//   /b N        background colour index 0 to 255 of raster images (default 7)
//   /j N        JPEG quality 1 to 10 (default 10)
//   /f N        format: 1 BMP, 2 JPEG, 3 GIF, 4 PCX, 101 SVG, 102 HP-GL/2 ".plt", 103 HP-GL/2
//               ".hgl", 104 PDF, 105 every drawing into one PDF named by /d, 106 SVGZ,
//               107 CGM, 108 EPS
//   /a N        layout: -1 the current one (default), 0 model space, N layout N, -2 every
//               layout into a file of its own (or a page of its own)
//   /d NAME     the PDF file of format 105      /l NAME   the result file (after /r only)
//   /xV SOURCE TARGET, /gV SOURCE TARGET   the source as DXF (x) or DWG (g) of version V:
//               25, 26, 9, 10, 11 or 12, 13, 14, anything else (or nothing) 2000
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

class CDrawingObject;
class CTerminalProgress;
namespace render {
class CPdfDocument;
}

// Result codes, one line each in the result file.
inline constexpr int kCommandLineDone = 0;
inline constexpr int kCommandLineRasterFailed = 1;     // also: the combined PDF cannot be made
inline constexpr int kCommandLineOpenFailed = 2;       // the drawing cannot be opened
inline constexpr int kCommandLineConversionFailed = 3; // "/x" or "/g" failed
inline constexpr int kCommandLineNotADrawing = 4;      // wrong extension or no such file
inline constexpr int kCommandLineNoSize = 6;           // width or height 0; format 105 without "/d"
inline constexpr int kCommandLineVectorFailed = 7;     // a vector or PDF file not written
inline constexpr int kCommandLinePasswordNeeded = 8;   // "/x" or "/g" needs a password

// The meaning of a result code, as the error stream gives it ("not a drawing").
const char* CommandLineCodeMeaning(int code);

// Formats of "/f".
inline constexpr int kFormatCombinedPdf = 105;
// The name of a format of "/f" ("SVG"); empty for a number that is none.
const char* CommandLineFormatName(int format);

// The short usage (for the error stream) and the whole help with the format table (for
// standard output).
std::string TracemillUsageText();
std::string TracemillHelpText();

// What the arguments ask before anything else: "--help", "-h" or "/?" anywhere the help,
// "--version" the version, otherwise a run.
enum class CommandLineRequest { Run, Help, Version };
CommandLineRequest CommandLineAsks(const std::vector<std::string>& arguments);
inline constexpr int kFormatPdf = 104;

// The settings the options collect.
struct CommandLineSettings {
    double width = 800.0;
    double height = 600.0;
    int16_t backgroundColor = 7;
    int16_t jpegQuality = 10;
    int16_t colorMode = 3;
    int16_t format = 1;
    int32_t layout = -1;
    bool convertMode = false;
    bool maskFile = false;
    bool zoomExtents = false;
    bool drawingConversion = false;
    std::string combinedPdfName;
};

// The version code of the conversion library for the text behind "/x" or "/g".
int DrawingVersionCode(std::string_view versionText);
// True for "/x" and "/g" with nothing but digits after them, in any case.
bool IsDrawingConversionOption(std::string_view argument);
// A layout name made fit to be part of a file name: '/' and control characters become '_'.
std::string LayoutNameForFileName(std::string_view name);
// The value of an option as the command line reads numbers, whatever the process locale: the
// longest number at the start of the text ("12px" is 12), 0 when there is none or it is not
// finite. Integers saturate at the ends of their range.
double CommandLineDecimal(std::string_view text);
int64_t CommandLineInteger(std::string_view text);
// True when the arguments ask for a conversion ("/r", "/x" or "/g"): the program then never
// shows a window.
bool CommandLineConverts(const std::vector<std::string>& arguments);

class CCommandLine {
public:
    // The arguments after the program's name; drawings named without convert mode go to
    // `openDocument`.
    CCommandLine(std::vector<std::string> arguments, std::function<void(const std::string&)> openDocument);
    ~CCommandLine();
    CCommandLine(const CCommandLine&) = delete;
    CCommandLine& operator=(const CCommandLine&) = delete;

    // One pass over the arguments. True when the program goes on to show its window (neither
    // convert mode nor a drawing conversion was asked for); false when it ends.
    bool Run();
    // False when any conversion of the run ended with a code other than 0, the result file
    // could not be written, or the command line named nothing to convert (a drawing after
    // "/r", a source and target after "/x" or "/g").
    bool AllSucceeded() const { return allSucceeded_; }
    const CommandLineSettings& Settings() const { return settings_; }

private:
    // Reads the value of the option at `index` into `value`; false at the end of the list.
    bool TakeValue(size_t& index, std::string& value) const;
    void WriteCode(int code);
    // Writes the code; any other than 0 is told on the error stream as well, with what it is
    // about (a drawing, a file) and why.
    void Report(int code, const std::string& subject, const std::string& reason);
    // A line on the error stream, the progress line erased first.
    void Say(const std::string& line);
    void Warn(const std::string& option, const std::string& value, const std::string& what);
    // The usage on the error stream after what is missing; the run then fails.
    void Incomplete(const std::string& what);
    // Reads the value of a value option into the settings, with a warning for what is clamped.
    // False when the run ends (the combined document cannot be made).
    bool ReadValue(const std::string& option, const std::string& value);
    void OpenResultFile(const std::string& name);
    // A drawing name: refused (code 4, with the reason), opened or converted.
    void TakeDrawing(const std::string& argument);
    // The drawings that convert mode will export, for the progress line.
    int CountDrawingsToExport() const;
    // "/x" and "/g" with the arguments after it; false when the pass ends.
    bool ConvertDrawingFile(size_t& index, std::string_view option);
    bool MakeCombinedDocument();
    void FinishCombinedDocument();

    // Export of one drawing (command_line_export.cpp).
    void ConvertDrawing(const std::string& path);
    bool SizeAllowed() const;
    bool OpenForExport(const std::string& path);
    // The reason an output was not written: the system's, or what else stands in the way.
    std::string WriteFailure(const std::string& output) const;
    void ExportVector(const std::string& path);
    void ExportRaster(const std::string& path);

    std::vector<std::string> arguments_;
    std::function<void(const std::string&)> openDocument_;
    CommandLineSettings settings_;
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };
    std::unique_ptr<std::FILE, FileCloser> resultFile_;
    std::unique_ptr<render::CPdfDocument> combinedDocument_;
    size_t combinedPages_ = 0;
    std::unique_ptr<CDrawingObject> drawing_;
    std::unique_ptr<CTerminalProgress> progress_;
    int drawingsToExport_ = 0;
    int drawingsTaken_ = 0;
    bool allSucceeded_ = true;
};

} // namespace tracemill
