// A drawing displayed in display-list mode through the recording hook set. The grid view lays
// the world onto the grid unit for unit on an 800 x 800 device: world (x, y) with integer
// coordinates is grid point (x, y), and lands on the device at (x / 40 + 0.5) truncated.
#pragma once

#include <string>
#include <vector>

#include "../display_fixture.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/display_list.h"
#include "toolkit/display/display_list_code.h"
#include "toolkit/display/display_list_view.h"

namespace tracemill::test {

class DisplayListTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        dbSetDisplayListMode(1);
    }

  public:
    static constexpr HostRect kScreen{0, 0, 800, 800};

    static ViewBlock gridView() {
        ViewBlock view;
        view.target = {16000.0, 16000.0, 0.0, 1.0};
        view.width = 32000.0;
        view.height = 32000.0;
        return view;
    }
    // The grid view scaled about its centre (factor < 1 zooms in), then moved.
    static ViewBlock zoomed(double factor, double dx = 0.0, double dy = 0.0) {
        ViewBlock view = gridView();
        view.width *= factor;
        view.height *= factor;
        view.target.x += dx;
        view.target.y += dy;
        return view;
    }

  protected:
    void show(ViewBlock view = gridView(), HostRect device = kScreen) { begin(nullptr, device, view); }
    int prepare(ViewBlock view, HostRect device = kScreen) {
        return genPrepareView(drawing, view, device, nullptr);
    }

    // Draws a pass; true when it was a replay (a regeneration reports progress 0 first).
    bool drawPass() {
        recorder.clear();
        EXPECT_EQ(genDrawDrawing(drawing), 1);
        const std::vector<std::string> progress = recorder.linesOf("progress");
        return progress.empty() || progress.front() != "progress 0";
    }

    DisplayList& list() { return context().displayList; }

    // The records of a cell as text: "colour 7 width 0", "move 100 100", "line 5000 100",
    // "fill", "fill with holes", "host 1 (24 bytes)".
    std::vector<std::string> cellRecords(int cell) {
        std::vector<std::string> out;
        const PagedStream* stream = list().cells[size_t(cell)].stream;
        if (!stream) return out;
        const uint8_t* p = stream->bytes.data();
        const uint8_t* end = p + stream->bytes.size();
        int32_t x = kDlistNoPoint, y = kDlistNoPoint;
        DlistRecord r;
        while (genDlistDecode(p, end, x, y, r)) {
            switch (r.kind) {
            case DlistRecord::Kind::State: {
                std::string text;
                if (r.hasColour) text += "colour " + std::to_string(r.colour);
                if (r.hasWidth)
                    text += std::string(text.empty() ? "" : " ") + "width " + std::to_string(r.width);
                out.push_back(text);
                break;
            }
            case DlistRecord::Kind::Move:
                out.push_back("move " + std::to_string(r.x) + " " + std::to_string(r.y));
                break;
            case DlistRecord::Kind::Line:
                out.push_back("line " + std::to_string(r.x) + " " + std::to_string(r.y));
                break;
            case DlistRecord::Kind::PolygonBracket:
                out.push_back("fill");
                break;
            case DlistRecord::Kind::PolyPolygonBracket:
                out.push_back("fill with holes");
                break;
            case DlistRecord::Kind::HostRecord:
                out.push_back("host " + std::to_string(r.hostKind) + " (" + std::to_string(r.hostSize) +
                              " bytes)");
                break;
            }
        }
        if (p != end) out.push_back("unreadable");
        return out;
    }
    // The cells that hold records.
    std::vector<int> filledCells() {
        std::vector<int> cells;
        for (int cell = 0; cell < kDlistCellCount; ++cell) {
            if (list().cells[size_t(cell)].stream && !list().cells[size_t(cell)].stream->bytes.empty())
                cells.push_back(cell);
        }
        return cells;
    }

    EntityRecord solid(Point3 a, Point3 b, Point3 c, Point3 d) {
        EntityRecord e = entity(kEntitySolid);
        e.bodyAs<SolidBody>().corners = {a, b, c, d};
        return e;
    }
};

} // namespace tracemill::test
