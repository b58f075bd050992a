#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "sat_test_support.h"
#include "toolkit/acis/sat/acis_analytic_curves.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/acis_transform.h"
#include "toolkit/acis/sat/colour_index_table.h"

namespace tracemill {
namespace {

using test::SatParserTest;

class AcisEntityModelTest : public SatParserTest {};

// Sense, sides and containment of a face, as words or as the integers some writers use, at
// every version; the sense alone before version 105.
TEST_F(AcisEntityModelTest, FaceSenseSidesAndContainment) {
    const struct {
        int version;
        const char* fields;
        int sense, sides, containment;
        const char* message;
    } rows[] = {
        {400, "forward single", 0, 0, 2, ""},
        {400, "reversed double in", 1, 1, 1, ""},
        {400, "forward double out", 0, 1, 0, ""},
        {400, "forward double sideways", 0, 1, 4, ""},
        {400, "forward triple", 0, 3, 2, ""},
        {400, "sideways single", 3, 0, 2, "*** ERROR: Bad face orientation string: sideways\n"},
        {600, "reversed single", 1, 0, 2, ""},
        {105, "forward single", 0, 0, 2, ""},
        {106, "0 1 0", 0, 1, 0, ""},
        {106, "1 1 1", 1, 1, 1, ""},
        {106, "1 0", 1, 0, 2, ""},
        {106, "forward single", 0, 0, 2, ""},
        {104, "0", 0, 0, 2, ""},
        {104, "1", 1, 0, 2, ""},
        {104, "reversed", 1, 0, 2, ""},
        {104, "7", 3, 0, 2, "*** ERROR: Bad face orientation int: 7\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.version) + " " + row.fields);
        ASSERT_EQ(parseRecords(row.version, std::string("body $-1 $-1 $-1 $-1 #\nface $-1 $-1 $-1 $-1 $-1 $-1 ") +
                                                 row.fields + " #\n"),
                  satParser::kParsed);
        const acis_Face* face = at<acis_Face>(1);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->sense(), row.sense);
        EXPECT_EQ(face->sides(), row.sides);
        EXPECT_EQ(face->containment(), row.containment);
        EXPECT_EQ(messages.text(), row.message);
    }
}

// The references a record carries depend on the version; a record with the wrong number ends
// in "Expected '#'".
TEST_F(AcisEntityModelTest, ReferencesByVersion) {
    const std::string shells = "body $-1 $-1 $-1 $-1 #\nlump $-1 $-1 $2 $0 #\n";
    ASSERT_EQ(parseRecords(106, shells + "shell $-1 $-1 $-1 $-1 $1 #\n"), satParser::kParsed);
    EXPECT_EQ(at<acis_Shell>(2)->lump(), at<acis_Lump>(1));
    EXPECT_EQ(messages.text(), "");
    ASSERT_EQ(parseRecords(107, shells + "shell $-1 $-1 $-1 $-1 $3 $1 #\nwire $-1 $-1 $-1 $2 $-1 out #\n"),
              satParser::kParsed);
    EXPECT_EQ(at<acis_Shell>(2)->wire(), at<acis_Wire>(3));
    EXPECT_EQ(at<acis_Shell>(2)->lump(), at<acis_Lump>(1));
    EXPECT_EQ(at<acis_Wire>(3)->owner(), at<acis_Shell>(2));
    EXPECT_EQ(at<acis_Wire>(3)->side(), 1);
    EXPECT_EQ(messages.text(), "");
    // A version 106 shell record written with six references.
    ASSERT_EQ(parseRecords(106, shells + "shell $-1 $-1 $-1 $-1 $-1 $1 #\n"), satParser::kParsed);
    EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 2: Expected '#'\n");
    EXPECT_EQ(at<acis_Shell>(2)->lump(), nullptr);

    ASSERT_EQ(parseRecords(106, "body $-1 $-1 $1 $-1 #\nwire $-1 $1 $-1 $0 #\n"), satParser::kParsed);
    EXPECT_EQ(at<acis_Wire>(1)->next(), at<acis_Wire>(1));
    EXPECT_EQ(at<acis_Wire>(1)->owner(), at<acis_Body>(0));
    EXPECT_EQ(at<acis_Wire>(1)->side(), 1);
    EXPECT_EQ(at<acis_Body>(0)->wire(), at<acis_Wire>(1));
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $1 $-1 #\nwire $-1 $-1 $-1 $0 $0 in #\n"), satParser::kParsed);
    EXPECT_EQ(at<acis_Wire>(1)->fourth(), at<acis_Body>(0));
    EXPECT_EQ(at<acis_Wire>(1)->side(), 2);

    // A subshell reads a fifth reference and keeps nothing of it.
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\nsubshell $-1 $-1 $1 $1 $-1 $0 #\n"), satParser::kParsed);
    EXPECT_EQ(at<acis_Subshell>(1)->next(), at<acis_Subshell>(1));
    EXPECT_EQ(at<acis_Subshell>(1)->child(), at<acis_Subshell>(1));
    EXPECT_EQ(messages.text(), "");
}

TEST_F(AcisEntityModelTest, EdgesAndCoedges) {
    // From version 500 an edge carries a parameter after each vertex and a convexity text.
    const std::string topology = "body $-1 $-1 $-1 $-1 #\nvertex $-1 $2 $3 #\n";
    const struct {
        int version;
        const char* edge;
        int sense;
        const char* message;
    } edges[] = {
        {400, "edge $-1 $1 $1 $4 $-1 forward #", 0, ""},
        {400, "edge $-1 $1 $1 $4 $-1 reversed #", 1, ""},
        {400, "edge $-1 $1 $1 $4 $-1 1 #", 3, ""},
        {106, "edge $-1 $1 $1 $4 $-1 1 #", 1, ""},
        {106, "edge $-1 $1 $1 $4 $-1 0 #", 0, ""},
        {106, "edge $-1 $1 $1 $4 $-1 2 #", 3, ""},
        {500, "edge $-1 $1 0 $1 6.28 $4 $-1 forward 7 unknown #", 0, ""},
        {600, "edge $-1 $1 -1 $1 1 $4 $-1 reversed 6 convex #", 1, ""},
        {400, "edge $-1 $1 0 $1 6.28 $4 $-1 forward #", 3, "*** ERROR: Syntax error at sequence number 2: Expected '#'\n"},
    };
    for (const auto& row : edges) {
        SCOPED_TRACE(row.edge);
        ASSERT_EQ(parseRecords(row.version, topology + row.edge + "\npoint $-1 1 2 3 #\ncoedge $-1 $4 $4 $-1 $2 forward $-1 $-1 #\n"),
                  satParser::kParsed);
        const acis_Edge* edge = at<acis_Edge>(2);
        ASSERT_NE(edge, nullptr);
        EXPECT_EQ(edge->sense(), row.sense);
        EXPECT_EQ(messages.text(), row.message);
        if (*row.message) continue;
        EXPECT_EQ(edge->start(), at<acis_Vertex>(1));
        EXPECT_EQ(edge->end(), at<acis_Vertex>(1));
        EXPECT_EQ(edge->coedge(), at<acis_CoEdge>(4));
        EXPECT_EQ(edge->start()->position(), aPoint(1, 2, 3));
        EXPECT_EQ(at<acis_Vertex>(1)->edge(), edge);
    }

    const struct {
        const char* word;
        int sense;
        const char* message;
    } coedges[] = {
        {"forward", 0, ""},
        {"0", 0, ""},
        {"reversed", 1, ""},
        {"1", 1, ""},
        {"sideways", -1, "*** ERROR: Bad edge direction enum: sideways\n"},
    };
    for (const auto& row : coedges) {
        SCOPED_TRACE(row.word);
        ASSERT_EQ(parseRecords(400, std::string("body $-1 $-1 $-1 $-1 #\nloop $-1 $-1 $2 $-1 #\ncoedge $-1 $2 $2 $2 $3 ") +
                                        row.word + " $1 $-1 #\nedge $-1 $-1 $-1 $2 $-1 forward #\n"),
                  satParser::kParsed);
        const acis_CoEdge* coedge = at<acis_CoEdge>(2);
        EXPECT_EQ(coedge->sense(), row.sense);
        EXPECT_EQ(coedge->alongCurve(), row.sense == 0);
        EXPECT_EQ(coedge->next(), coedge);
        EXPECT_EQ(coedge->partner(), coedge);
        EXPECT_EQ(coedge->loop(), at<acis_Loop>(1));
        EXPECT_EQ(coedge->edge(), at<acis_Edge>(3));
        EXPECT_EQ(messages.text(), row.message);
        // The loop's first coedge has an edge without a curve.
        EXPECT_TRUE(at<acis_Loop>(1)->hasNoCurve());
    }
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\nloop $-1 $-1 $2 $-1 #\ncoedge $-1 $2 $2 $-1 $3 forward $1 $-1 #\n"
                                "edge $-1 $-1 $-1 $2 $4 forward #\nstraight-curve $-1 0 0 0 1 0 0 I I #\n"),
              satParser::kParsed);
    EXPECT_FALSE(at<acis_Loop>(1)->hasNoCurve());
}

TEST_F(AcisEntityModelTest, TransformMatrixAndFlags) {
    const struct {
        const char* flags;
        bool rotate, reflect, shear;
    } rows[] = {
        {"no_rotate no_reflect no_shear", false, false, false},
        {"1 1 shear", true, true, true},
        {"rotate reflect 0", true, true, false},
        {"0 0 0", false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flags);
        ASSERT_EQ(parseRecords(400, std::string("body $-1 $-1 $-1 $1 #\ntransform $-1 1 0 0 0 1 0 0 0 1 5 6 7 1 ") + row.flags +
                                        " #\n"),
                  satParser::kParsed);
        const acis_Transform* transform = at<acis_Body>(0)->transform();
        ASSERT_NE(transform, nullptr);
        EXPECT_EQ(transform->rotates(), row.rotate);
        EXPECT_EQ(transform->reflects(), row.reflect);
        EXPECT_EQ(transform->shears(), row.shear);
        EXPECT_EQ(messages.text(), "");
    }
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $1 #\ntransform $-1 1 2 3 4 5 6 7 8 9 10 11 12 2 0 0 0 #\n"),
              satParser::kParsed);
    const acis_Transform* transform = at<acis_Transform>(1);
    const double expected[4][4] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 11, 12, 2}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) EXPECT_EQ(transform->at(row, column), expected[row][column]);
    }
}

TEST_F(AcisEntityModelTest, TheColourIndexTable) {
    const auto& table = acisColourIndexTable();
    const struct {
        int index;
        ColourTriple colour;
    } rows[] = {
        {0, {0, 0, 0}},       {1, {255, 0, 0}},       {2, {255, 255, 0}},     {3, {0, 255, 0}},
        {4, {0, 255, 255}},   {5, {0, 0, 255}},       {6, {255, 0, 255}},     {7, {255, 255, 255}},
        {10, {255, 0, 0}},    {11, {255, 127, 127}},  {12, {204, 0, 0}},      {17, {127, 63, 63}},
        {19, {76, 38, 38}},   {20, {255, 63, 0}},     {21, {255, 159, 127}},  {30, {255, 127, 0}},
        {50, {255, 255, 0}},  {90, {0, 255, 0}},      {130, {0, 255, 255}},   {170, {0, 0, 255}},
        {210, {255, 0, 255}}, {250, {51, 51, 51}},    {255, {255, 255, 255}},
    };
    for (const auto& row : rows) EXPECT_EQ(table[size_t(row.index)], row.colour) << row.index;
}

TEST_F(AcisEntityModelTest, AttributesAndTheirColours) {
    const struct {
        const char* record;
        AcisKind kind;
        double r, g, b;
        int index;
    } rows[] = {
        {"colour-tsl-attrib $-1 $-1 $-1 $0 257 #", AcisKind::TslColourAttrib, 1, 0, 0, 257},
        {"colour-tsl-attrib $-1 $-1 $-1 $0 -3 #", AcisKind::TslColourAttrib, 0, 0, 0, 0},
        {"color-adesk-attrib $-1 $-1 $-1 $0 5 #", AcisKind::AdeskColourAttrib, 0, 0, 1, 5},
        {"rgb_color-st-attrib $-1 $-1 $-1 $0 0.25 0.5 1 #", AcisKind::RgbColourAttrib, 0.25, 0.5, 1, -1},
        {"persubent-solidHistory-attrib $-1 $-1 $-1 $0 1 2 { not a block } 1004 #", AcisKind::IgnoredAttrib, 0, 0,
         0, -1},
        {"some-other-attrib $-1 $-1 $-1 $0 #", AcisKind::IgnoredAttrib, 0, 0, 0, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record);
        ASSERT_EQ(parseRecords(400, std::string("body $1 $-1 $-1 $-1 #\n") + row.record + "\npoint $-1 0 0 0 #\n"),
                  satParser::kParsed);
        EXPECT_EQ(messages.text(), "");
        const acis_Attrib* attribute = at<acis_Body>(0)->attribute();
        ASSERT_NE(attribute, nullptr);
        EXPECT_EQ(attribute->kind(), row.kind);
        EXPECT_EQ(attribute->owner(), at<acis_Body>(0));
        EXPECT_NE(at<acis_Point>(2), nullptr);
        if (const AcisColourAttrib* colour = acis_cast<AcisColourAttrib>(attribute)) {
            EXPECT_EQ(colour->colour()[0], row.r);
            EXPECT_EQ(colour->colour()[1], row.g);
            EXPECT_EQ(colour->colour()[2], row.b);
        }
        if (const auto* indexed = acis_cast<AcisIndexedColourAttrib>(attribute)) {
            EXPECT_EQ(indexed->colourIndex(), row.index);
        }
    }
    // An attribute chain: next and previous.
    ASSERT_EQ(parseRecords(400, "body $1 $-1 $-1 $-1 #\ncolour-tsl-attrib $-1 $2 $-1 $0 1 #\n"
                                "rgb_color-st-attrib $-1 $-1 $1 $0 0 0 1 #\n"),
              satParser::kParsed);
    const acis_Attrib* first = at<acis_Attrib>(1);
    EXPECT_EQ(first->next(), at<acis_Attrib>(2));
    EXPECT_EQ(first->next()->previous(), first);
    std::ostringstream printed;
    first->print(printed);
    EXPECT_EQ(printed.str(), "-1 colour-tsl-attrib ---NULL--- $2 ---NULL--- $0 (r,g,b) = (1, 0, 0) mIndex = 1");
}

} // namespace
} // namespace tracemill
