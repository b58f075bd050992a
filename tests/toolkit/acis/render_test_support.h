// Shared pieces of the wireframe renderer and solid drawing tests: a host of the solid drawing
// bridge that feeds a SAT text through the read callback and records every primitive, a
// GlOutput that records the renderer's calls as text, and the SAT fixtures.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "acis_test_support.h"
#include "test_paths.h"
#include "toolkit/acis/geometry/bounding_box.h"
#include "toolkit/acis/render/gl_output.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"

namespace tracemill::test {

// The text of a SAT fixture of tests/data/acis.
inline std::string satFixture(const char* name) {
    const std::vector<uint8_t> bytes = readFileBytes(testDataDir() / "acis" / name);
    EXPECT_FALSE(bytes.empty()) << name;
    return std::string(bytes.begin(), bytes.end());
}

// The records of a spherical cap above z = 2 on a sphere of radius 3 about the origin,
// bounded by one circle (a SAT text of version 400 after its header).
inline constexpr const char* kSphericalCap =
    "body $-1 $1 $-1 $-1 #\n"
    "lump $-1 $-1 $2 $0 #\n"
    "shell $-1 $-1 $-1 $3 $-1 $1 #\n"
    "face $-1 $-1 $4 $2 $-1 $5 forward single #\n"
    "loop $-1 $-1 $6 $3 #\n"
    "sphere-surface $-1 0 0 0 3 1 0 0 0 0 1 forward I I I I #\n"
    "coedge $-1 $6 $6 $-1 $7 forward $4 $-1 #\n"
    "edge $-1 $8 $8 $6 $9 forward #\n"
    "vertex $-1 $7 $10 #\n"
    "ellipse-curve $-1 0 0 2 0 0 1 2.2360679774997898 0 0 1 I I #\n"
    "point $-1 2.2360679774997898 0 2 #\n";

struct RecordedPrimitive {
    int mode = 0;
    std::vector<aPoint> vertices;
};

// Draws a SAT text through genDrawSolidFromSat as a host does: the text read 512 bytes at a
// time, each primitive recorded with its mode and vertices.
class SolidDrawingHost {
public:
    // The record as the default solid hook fills it: the curve resolution, 4 surface curves.
    explicit SolidDrawingHost(std::string text, int32_t resolution = 0) : mText(std::move(text)) {
        record.read = read;
        record.begin = begin;
        record.end = end;
        record.vertex = vertex;
        record.user = this;
        record.outputValue = resolution;
        record.settingsWordA = 4;
    }
    SolidDrawingHost(const SolidDrawingHost&) = delete;
    SolidDrawingHost& operator=(const SolidDrawingHost&) = delete;

    int32_t draw() {
        mOffset = 0;
        primitives.clear();
        return genDrawSolidFromSat(record);
    }

    // Primitives of a mode, and the segments of the mode-1 primitives.
    int count(int mode) const {
        return int(std::count_if(primitives.begin(), primitives.end(), [mode](const RecordedPrimitive& p) { return p.mode == mode; }));
    }
    int segments() const {
        int n = 0;
        for (const RecordedPrimitive& p : primitives) n += p.mode == 1 ? int(p.vertices.size()) / 2 : 0;
        return n;
    }
    BoundingBox box() const {
        BoundingBox b;
        for (const RecordedPrimitive& p : primitives) {
            for (const aPoint& v : p.vertices) b.add(v);
        }
        return b;
    }

    SatCallbackRecord record;
    std::vector<RecordedPrimitive> primitives;
    int reads = 0;
    int nonFinite = 0;      // vertices that were not finite
    int unbalanced = 0;     // a begin inside a primitive, or a vertex or end outside one

private:
    // Every callback reaches its host through the user pointer of the record.
    static SolidDrawingHost& host(void* user) { return *static_cast<SolidDrawingHost*>(user); }
    static int32_t read(char* buffer, int32_t maximum, void* user) {
        SolidDrawingHost& h = host(user);
        ++h.reads;
        const size_t n = std::min(size_t(std::max(maximum, 0)), h.mText.size() - h.mOffset);
        std::memcpy(buffer, h.mText.data() + h.mOffset, n);
        h.mOffset += n;
        return int32_t(n);
    }
    static void begin(int32_t mode, void* user) {
        SolidDrawingHost& h = host(user);
        if (h.mOpen) ++h.unbalanced;
        h.mOpen = true;
        h.primitives.push_back({mode, {}});
    }
    static void end(void* user) {
        SolidDrawingHost& h = host(user);
        if (!h.mOpen) ++h.unbalanced;
        h.mOpen = false;
    }
    static void vertex(double x, double y, double z, void* user) {
        SolidDrawingHost& h = host(user);
        if (!h.mOpen || h.primitives.empty()) {
            ++h.unbalanced;
            return;
        }
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) ++h.nonFinite;
        h.primitives.back().vertices.push_back({x, y, z});
    }

    std::string mText;
    size_t mOffset = 0;
    bool mOpen = false;
};

// A GlOutput that writes each call as a line of text ("begin 1", "vertex 0 0 1", "endList");
// curves are written as "drawCurve t0 t1" and "drawNURBSCurve n", and drawNURBSCurve answers
// true.
class RecordingGlOutput : public GlOutput {
public:
    std::vector<std::string> calls;

    void drawCurve(const c_Curve&, double t0, double t1, GL_Renderer*) override { add("drawCurve", {t0, t1}); }
    bool drawNURBSCurve(const c_NURBSCurve&, GL_Renderer*) override {
        add("drawNURBSCurve", {});
        return true;
    }
    void begin(int32_t mode) override { add("begin", {double(mode)}); }
    void end() override { add("end", {}); }
    void vertex(double x, double y, double z) override { add("vertex", {x, y, z}); }
    void color(float r, float g, float b) override { add("color", {r, g, b}); }
    void colorAttrib(const std::array<double, 3>& c) override { add("colorAttrib", {c[0], c[1], c[2]}); }
    void pushMatrix() override { add("pushMatrix", {}); }
    void popMatrix() override { add("popMatrix", {}); }
    void multMatrix(const std::array<double, 16>&) override { add("multMatrix", {}); }
    void pushAttrib(int32_t mask) override { add("pushAttrib", {double(mask)}); }
    void popAttrib() override { add("popAttrib", {}); }
    void newList(int32_t index, int32_t mode) override { add("newList", {double(index), double(mode)}); }
    int32_t endList() override {
        add("endList", {});
        return 7;
    }

    // The calls whose text starts with `name`.
    int countOf(const std::string& name) const {
        return int(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; }));
    }

private:
    void add(const char* name, std::initializer_list<double> values) {
        std::string text = name;
        for (double v : values) {
            char number[32];
            std::snprintf(number, sizeof number, " %.6g", std::fabs(v) < 1e-12 ? 0.0 : v);
            text += number;
        }
        calls.push_back(text);
    }
};

} // namespace tracemill::test
