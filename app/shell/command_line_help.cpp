// The words of the command line: its usage, its help with the format table, and the meanings
// of its result codes and formats as the error stream gives them.
#include <algorithm>
#include <string_view>

#include "app/shell/command_line.h"

namespace tracemill {
namespace {

struct FormatName {
    int code;
    const char* name;
};

constexpr FormatName kFormatNames[] = {
    {1, "BMP"},
    {2, "JPEG"},
    {3, "GIF"},
    {4, "PCX"},
    {101, "SVG"},
    {102, "HP-GL/2 .plt"},
    {103, "HP-GL/2 .hgl"},
    {104, "PDF"},
    {105, "one PDF of every drawing"},
    {106, "SVGZ"},
    {107, "CGM"},
    {108, "EPS"},
};

constexpr const char* kUsage =
    "usage: tracemill /r [/l RESULTS] [options] DRAWING...  export each drawing beside itself\n"
    "       tracemill /xV SOURCE TARGET                      SOURCE as DXF of version V at TARGET\n"
    "       tracemill /gV SOURCE TARGET                      SOURCE as DWG of version V at TARGET\n"
    "       tracemill --help | -h | /?                       options, formats and result codes\n"
    "       tracemill --version\n";

constexpr const char* kHelpBody =
    "\n"
    "Options (any case; each affects the drawings named after it):\n"
    "  /r          convert mode: the drawings named after it are exported\n"
    "  /l NAME     the result file (after /r): one code per conversion, a line each\n"
    "  /f N        the format, from the table below (default 1, BMP)\n"
    "  /w X, /h X  width and height (default 800 x 600): points of vector files, pixels of images\n"
    "  /e          the drawing's extents (else its current view); one of /w and /h may then be 0\n"
    "  /a N        layout: -1 the current one (default), 0 model space, N layout N, -2 every\n"
    "              layout (DRAWING-LAYOUT.ext, or a page each of one PDF)\n"
    "  /p N        colours: 1 black and white, 2 grey, 3 colours (default)\n"
    "  /b N        background colour index of images, 0 to 255 (default 7)\n"
    "  /j N        JPEG quality, 1 to 10 (default 10)\n"
    "  /m          a mask image NAME_mask.bmp beside each image\n"
    "  /d NAME     the PDF file of format 105\n"
    "\n"
    "Formats of /f (the output goes beside the drawing, with its name and this extension):\n"
    "    1  BMP image    .bmp        101  SVG              .svg\n"
    "    2  JPEG image   .jpg        102  HP-GL/2          .plt\n"
    "    3  GIF image    .gif        103  HP-GL/2          .hgl\n"
    "    4  PCX image    .pcx        104  PDF              .pdf\n"
    "                                105  every drawing into one PDF named by /d\n"
    "                                106  SVGZ             .svgz\n"
    "                                107  CGM (binary)     .cgm\n"
    "                                108  EPS              .eps\n"
    "  Below 1 is 1, 5 to 100 is 4, above 108 is 108 (with a warning).\n"
    "\n"
    "Versions V of /x and /g: 25 \"AC1002\", 26 \"AC1003\", 9 \"AC1004\", 10 \"AC1006\", 11 or 12\n"
    "  \"AC1009\", 13 \"AC1012\", 14 \"AC1014\", anything else (or nothing) \"AC1015\".\n"
    "\n"
    "Result codes, a line each in the result file; a failure is also told on standard error with\n"
    "the drawing, the code and the reason:\n"
    "  0 done                          4 not a drawing (its extension, or no such file)\n"
    "  1 an image not written          6 no width or height (or format 105 without /d)\n"
    "  2 the drawing cannot be opened  7 a vector or PDF file not written\n"
    "  3 the conversion failed         8 a password is needed\n"
    "\n"
    "Exit status: 0 when every conversion was done; 1 when one failed or the command line names\n"
    "no drawing or no target; 2 when drawings are named without a conversion (this build has no\n"
    "window to show them in).\n"
    "\n"
    "Examples:\n"
    "  tracemill /r /e /f 104 plan.dwg                 plan.pdf beside plan.dwg, the whole drawing\n"
    "  tracemill /r /l codes.txt /f 101 a.dxf b.dwg    a.svg and b.svg, the codes in codes.txt\n"
    "  tracemill /x12 plan.dwg plan-r12.dxf            plan.dwg as DXF \"AC1009\"\n";

} // namespace

std::string TracemillUsageText() {
    return std::string(kUsage) + "tracemill --help lists the options, the formats and the result codes.\n";
}

std::string TracemillHelpText() {
    return "tracemill converts CAD drawings (DWG \"AC1002\" to \"AC1015\", DXF ASCII and binary) into\n"
           "images, vector files, PDF and DWG or DXF of other versions, without a window.\n\n" +
           std::string(kUsage) + kHelpBody;
}

const char* CommandLineCodeMeaning(int code) {
    switch (code) {
    case kCommandLineDone:
        return "done";
    case kCommandLineRasterFailed:
        return "an image not written";
    case kCommandLineOpenFailed:
        return "the drawing cannot be opened";
    case kCommandLineConversionFailed:
        return "the conversion failed";
    case kCommandLineNotADrawing:
        return "not a drawing";
    case kCommandLineNoSize:
        return "no width or height";
    case kCommandLineVectorFailed:
        return "a vector or PDF file not written";
    case kCommandLinePasswordNeeded:
        return "a password is needed";
    default:
        return "unknown code";
    }
}

const char* CommandLineFormatName(int format) {
    const auto found = std::find_if(std::begin(kFormatNames), std::end(kFormatNames),
                                    [format](const FormatName& name) { return name.code == format; });
    return found == std::end(kFormatNames) ? "" : found->name;
}

CommandLineRequest CommandLineAsks(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h" || argument == "/?") return CommandLineRequest::Help;
    }
    for (const std::string& argument : arguments) {
        if (argument == "--version") return CommandLineRequest::Version;
    }
    return CommandLineRequest::Run;
}

} // namespace tracemill
