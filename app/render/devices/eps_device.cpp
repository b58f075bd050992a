#include "app/render/devices/eps_device.h"

#include <cstdio>
#include <cstring>

#include "app/render/devices/device_number_format.h"

namespace tracemill::render {

namespace {

const char* const kProlog[] = {
    "%%EndComments",       "%%BeginProlog",        "/m {moveto} def",   "/l {lineto} def",
    "/sw {setlinewidth} def", "/sc {setrgbcolor} def", "/np {newpath} def", "/cp {closepath} def",
    "/st {stroke} def",    "/f {fill} def",        "/ef {eofill} def",  "%%EndProlog",
    "%%BeginSetup",        "%%EndSetup",
};

// The name of a file with its extension, after the last "/" or "\".
const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c) {
        if (*c == '/' || *c == '\\') name = c + 1;
    }
    return name;
}

} // namespace

std::string EpsCreationDate(const std::tm& local) {
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    const char* day = local.tm_wday >= 0 && local.tm_wday < 7 ? kDays[local.tm_wday] : "?";
    const char* month = local.tm_mon >= 0 && local.tm_mon < 12 ? kMonths[local.tm_mon] : "?";
    char text[64];
    std::snprintf(text, sizeof text, "%s, %s %02d, %d", day, month, local.tm_mday, local.tm_year + 1900);
    return text;
}

CEpsDevice::CEpsDevice() : clock_([] { return std::time(nullptr); }) {}

bool CEpsDevice::Begin(const char*, const char* fileName, const char*, double width, double height) {
    if (!file_.Open(fileName)) return false;
    const std::time_t now = clock_();
    std::tm local{};
    localtime_r(&now, &local);
    std::string& text = file_.Text();
    text += "%!PS-Adobe-3.0 EPSF-3.0\r\n%%Creator: Tracemill export\r\n%%Title: ";
    text += FileNameOf(fileName);
    text += "\r\n%%BoundingBox: 0 0 ";
    AppendFixed(text, width, 3);
    text += ' ';
    AppendFixed(text, height, 3);
    text += "\r\n%%Pages: 1\r\n%%CreationDate: ";
    text += EpsCreationDate(local);
    text += "\r\n";
    for (const char* line : kProlog) {
        text += line;
        text += "\r\n";
    }
    return true;
}

bool CEpsDevice::End() {
    if (!file_.IsOpen()) return false;
    FlushPolyline();
    file_.Text() += "showpage\r\n%%Trailer\r\n";
    return file_.Finish();
}

void CEpsDevice::AppendPointLine(const DevicePoint& p, const char* op) {
    std::string& text = file_.Text();
    AppendFixed(text, p.x, 3);
    text += ' ';
    AppendFixed(text, p.y, 3);
    text += ' ';
    text += op;
    text += "\r\n";
}

void CEpsDevice::AppendPolygonPath(const DevicePoint* points, uint64_t count) {
    AppendPointLine(points[0], "m");
    for (uint64_t i = 1; i < count; ++i) AppendPointLine(points[i], "l");
}

void CEpsDevice::FlushPolyline() {
    if (polyline_.Count() >= 2) {
        file_.Text() += "np\r\n";
        AppendPolygonPath(polyline_.Data(), polyline_.Count());
        file_.Text() += "st\r\n";
    }
    polyline_.Clear();
    file_.Flush();
}

void CEpsDevice::MoveTo(double x, double y) {
    FlushPolyline();
    polyline_.AddPoint(x, y);
}

void CEpsDevice::LineTo(double x, double y) { polyline_.AddPoint(x, y); }

void CEpsDevice::FillPolygon(int32_t first, int32_t last, DevicePoint* points) {
    FlushPolyline();
    if (last < first || first < 0) return;
    file_.Text() += "np\r\n";
    AppendPolygonPath(points + first, uint64_t(last - first) + 1);
    file_.Text() += "f\r\n"; // the fill closes the path
    file_.Flush();
}

void CEpsDevice::FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) {
    FlushPolyline();
    file_.Text() += "np\r\n";
    for (uint32_t k = 0; k < polygonCount; points += counts[k], ++k) {
        if (counts[k] == 0) continue;
        AppendPolygonPath(points, counts[k]);
        file_.Text() += "cp\r\n";
    }
    file_.Text() += "ef\r\n";
    file_.Flush();
}

void CEpsDevice::SetPen(ColorRef colour, double width) {
    if (colour == currentColour_ && (width == currentWidth_ || !UsePenWidths())) return;
    RestartPolylineAtLastPoint(polyline_, [this] { FlushPolyline(); });
    std::string& text = file_.Text();
    if (colour != currentColour_) {
        AppendFixed(text, gdi::redOf(colour) / 255.0, 3);
        text += ' ';
        AppendFixed(text, gdi::greenOf(colour) / 255.0, 3);
        text += ' ';
        AppendFixed(text, gdi::blueOf(colour) / 255.0, 3);
        text += " sc\r\n";
        currentColour_ = colour;
    }
    if (width != currentWidth_ && UsePenWidths()) {
        currentWidth_ = width;
        AppendFixed(text, width * 72, 3);
        text += " sw\r\n";
    }
}

} // namespace tracemill::render
