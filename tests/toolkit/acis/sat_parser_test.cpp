#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

#include "sat_test_support.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {
namespace {

using test::SatParserTest;
using test::satHeader;

constexpr const char* kOneBody = "body $-1 $-1 $-1 $-1 #\nEnd-of-ACIS-data\n";

TEST_F(SatParserTest, TheHeaderDecidesTheResult) {
    const struct {
        const char* name;
        std::string text;
        int result;
    } rows[] = {
        {"version 400, one body", satHeader(400) + kOneBody, satParser::kParsed},
        {"version 103, no strings", "103 0 1 0\n" + std::string(kOneBody), satParser::kParsed},
        {"version 600", satHeader(600) + kOneBody, satParser::kParsed},
        {"version 601", satHeader(601) + kOneBody, satParser::kUnsupportedVersion},
        {"version 102", "102 0 1 0\n" + std::string(kOneBody), satParser::kUnsupportedVersion},
        {"version 700", "700 0 1 0 @7 unknown\n", satParser::kUnsupportedVersion},
        {"no text at all", "", satParser::kHeaderUnreadable},
        {"three numbers", "400 0 1", satParser::kHeaderUnreadable},
        {"a word for the record count", "400 many 1 0\n", satParser::kHeaderUnreadable},
        {"strings cut short", "400 0 1 0\n7 Testing 9 Trace", satParser::kHeaderUnreadable},
        {"resolutions missing", "400 0 1 0\n7 Testing 9 Tracemill 4 date 1 1e-6\n", satParser::kHeaderUnreadable},
        {"no body", satHeader(400) + "point $-1 1 2 3 #\n", satParser::kNoBody},
        {"nothing after the header", satHeader(400), satParser::kNoBody},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(parse(row.text), row.result);
    }
}

TEST_F(SatParserTest, AVersionOutsideTheRangeIsReadWhenForced) {
    const std::string text = satHeader(601) + kOneBody;
    satParser forced(text);
    forced.setForce(true);
    EXPECT_EQ(forced.parse(), satParser::kParsed);
    EXPECT_EQ(forced.bodyCount(), 1);
    EXPECT_EQ(messages.text(), "+++ Warning: Forcing a parse of unsupported version: 601\n");
    EXPECT_EQ(forced.messageCount(), 1);
    // A parser reads its text once.
    EXPECT_EQ(forced.parse(), satParser::kNoText);
}

// Records are numbered from 0 in order, and a sequence number moves the numbering; every
// reference is set, whether its record came before or after it.
TEST_F(SatParserTest, RecordsAreNumberedAndReferencesResolved) {
    ASSERT_EQ(parseRecords(400,
                           "body $-1 $1 $-1 $-1 #\n"
                           "lump $-1 $-1 $2 $0 #\n"
                           "shell $-1 $-1 $-1 $5 $-1 $1 #\n"
                           "-7 point $-1 1 2 3 #\n"
                           "point $-1 4 5 6 #\n"
                           "-5 face $-1 $-1 $-1 $2 $-1 $-1 forward single #\n"
                           "vertex $-1 $-1 $8 #\n"
                           "-9 vertex $-1 $-1 $40 #\n"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(), "");
    acis_Body* body = at<acis_Body>(0);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->lump(), at<acis_Lump>(1));
    EXPECT_EQ(at<acis_Lump>(1)->body(), body);                   // backwards
    EXPECT_EQ(at<acis_Shell>(2)->face(), at<acis_Face>(5));      // forwards
    EXPECT_EQ(at<acis_Face>(5)->shell(), at<acis_Shell>(2));
    ASSERT_NE(at<acis_Point>(7), nullptr);
    ASSERT_NE(at<acis_Point>(8), nullptr);
    EXPECT_EQ(at<acis_Point>(8)->position(), aPoint(4, 5, 6));
    EXPECT_EQ(at<acis_Vertex>(6)->point(), at<acis_Point>(8));
    EXPECT_EQ(at<acis_Vertex>(6)->position(), aPoint(4, 5, 6));
    // A reference to an index that holds nothing (3, 4, 40) stays null.
    EXPECT_EQ(parser().entityAt(3), nullptr);
    EXPECT_EQ(at<acis_Vertex>(9)->point(), nullptr);
    EXPECT_EQ(at<acis_Vertex>(7), nullptr);  // index 7 is the point
    EXPECT_EQ(parser().entitiesMade(), 8);
    EXPECT_EQ(parser().currentIndex(), 10);
}

// A reference keeps its target only when the target is of the kind the field names.
TEST_F(SatParserTest, AReferenceToARecordOfAnotherKindStaysNull) {
    ASSERT_EQ(parseRecords(400,
                           "body $3 $2 $-1 $2 #\n"
                           "point $-1 0 0 0 #\n"
                           "face $-1 $-1 $1 $-1 $-1 $0 forward single #\n"
                           "lump $-1 $-1 $-1 $0 #\n"),
              satParser::kParsed);
    acis_Body* body = at<acis_Body>(0);
    EXPECT_EQ(body->attribute(), nullptr);  // a lump is no attribute
    EXPECT_EQ(body->lump(), nullptr);       // a face is no lump
    EXPECT_EQ(body->transform(), nullptr);
    acis_Face* face = at<acis_Face>(2);
    EXPECT_EQ(face->loop(), nullptr);     // a point is no loop
    EXPECT_EQ(face->surface(), nullptr);  // a body is no surface
    EXPECT_EQ(at<acis_Lump>(3)->body(), body);
}

TEST_F(SatParserTest, BodiesComeLastFirst) {
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\npoint $-1 0 0 0 #\nbody $-1 $-1 $-1 $-1 #\n"),
              satParser::kParsed);
    EXPECT_EQ(parser().bodyCount(), 2);
    EXPECT_EQ(parser().firstBody(), at<acis_Body>(2));
    EXPECT_EQ(parser().nextBody(), at<acis_Body>(0));
    EXPECT_EQ(parser().nextBody(), nullptr);
    EXPECT_EQ(parser().firstBody(), at<acis_Body>(2));
}

// A header that counts no records still works: the table grows as records come.
TEST_F(SatParserTest, ATextOfMoreRecordsThanItsHeaderCounts) {
    std::string records = "body $-1 $-1 $-1 $-1 #\n";
    for (int i = 1; i < 450; ++i) records += "point $-1 " + std::to_string(i) + " 0 0 #\n";
    ASSERT_EQ(parse(satHeader(400, 0) + records), satParser::kParsed);
    EXPECT_GE(parser().tableSize(), 450);
    for (int i = 1; i < 450; ++i) ASSERT_NE(at<acis_Point>(i), nullptr) << i;
    EXPECT_EQ(at<acis_Point>(449)->position(), aPoint(449, 0, 0));
    EXPECT_EQ(parser().entitiesMade(), 450);
}

TEST_F(SatParserTest, TheModelBoxSpansThePointsAndReadingSetsTheCoincidenceTolerance) {
    {
        satParser empty("");
        EXPECT_FALSE(empty.modelBox().hasPoint);
        EXPECT_EQ(empty.modelBox().bounds[0], -1.0);
        EXPECT_EQ(empty.modelBox().bounds[5], 1.0);
    }
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\npoint $-1 5 6 7 #\npoint $-1 -2 10 7.5 #\n"), satParser::kParsed);
    const ModelBox& box = parser().modelBox();
    EXPECT_TRUE(box.hasPoint);
    const double expected[6] = {-2, 5, 6, 10, 7, 7.5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(box.bounds[i], expected[i]) << i;
    EXPECT_EQ(geometryTolerances().coincTol, 0.007);
}

// Subtype blocks are numbered in the order of their braces, nested ones too; "ref n" shares
// block n.
TEST_F(SatParserTest, SubtypeReferencesShareEarlierBlocks) {
    const std::string surface = "exactsur nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 0 0 0 1 0 0 0 1 0 1 1 0";
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\n"
                                "spline-surface $-1 forward { " + surface + " } I I I I #\n"
                                "spline-surface $-1 reversed { ref 0 } I I I I #\n"
                                "spline-surface $-1 forward { unknownsur 1 2 { " + surface + " } } I I I I #\n"
                                "spline-surface $-1 forward { ref 2 } I I I I #\n"
                                "spline-surface $-1 forward { ref 1 } I I I I #\n"
                                "spline-surface $-1 forward { ref 3 } I I I I #\n"
                                "spline-surface $-1 forward { ref -1 } I I I I #\n"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(), "");
    EXPECT_EQ(parser().refMgr().count(), 3);
    const acis_spl_sur* first = at<acis_Spline>(1)->splineData();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->surface(), nullptr);
    EXPECT_EQ(at<acis_Spline>(2)->splineData(), first);
    EXPECT_EQ(at<acis_Spline>(2)->sense(), 1);
    EXPECT_EQ(at<acis_Spline>(3)->splineData(), nullptr);  // an unknown name: no subtype
    const acis_spl_sur* nested = at<acis_Spline>(4)->splineData();
    ASSERT_NE(nested, nullptr);  // the block inside the unknown one
    EXPECT_NE(nested, first);
    EXPECT_EQ(at<acis_Spline>(5)->splineData(), nullptr);  // block 1 holds nothing
    EXPECT_EQ(at<acis_Spline>(6)->splineData(), nullptr);  // beyond the blocks
    EXPECT_EQ(at<acis_Spline>(7)->splineData(), nullptr);
    // The ranges after each block are read as the unbounded ones they are.
    double bound = 0.0;
    for (int i = 1; i <= 7; ++i) EXPECT_FALSE(at<acis_Spline>(i)->vRange().upper(bound)) << i;
}

// An unknown record is skipped with the blocks inside it (which still take their numbers), a
// record with a field too many or too few is reported and skipped, and reading goes on.
TEST_F(SatParserTest, BrokenRecordsAreReportedAndReadingGoesOn) {
    ASSERT_EQ(parseRecords(400,
                           "body $-1 $-1 $-1 $-1 #\n"
                           "mystery-record $-1 1 2 { exactsur nullbs 0 } { more } words #\n"
                           "point $-1 1 2 3 extra #\n"
                           "point $-1 1 2 #\n"
                           "-9 $4 point $-1 0 0 0 #\n"
                           "point $-1 4 5 6 #\n"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(),
              "*** ERROR: Syntax error at sequence number 2: Expected '#'\n"
              "*** ERROR: Syntax error at sequence number 3: Expected '#'\n"
              "*** ERROR: Syntax error at sequence number 9: Bad tag\n");
    EXPECT_EQ(parser().messageCount(), 3);
    EXPECT_EQ(parser().skippedRecords(), 1);
    EXPECT_EQ(parser().entityAt(1), nullptr);
    EXPECT_EQ(parser().refMgr().count(), 2);
    // A record cut short keeps what it read.
    ASSERT_NE(at<acis_Point>(2), nullptr);
    EXPECT_EQ(at<acis_Point>(2)->position(), aPoint(1, 2, 3));
    ASSERT_NE(at<acis_Point>(3), nullptr);
    EXPECT_EQ(parser().entityAt(9), nullptr);
    ASSERT_NE(at<acis_Point>(10), nullptr);
    EXPECT_EQ(at<acis_Point>(10)->position(), aPoint(4, 5, 6));
}

TEST_F(SatParserTest, TheEndOfTheTextInsideARecordEndsTheParse) {
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\npoint $-1 1 2 3 #\nmystery $-1 { exactsur 1 2"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(), "*** ERROR: Unexpected EOF in satParser::skipToEndOfEntity\n");
    EXPECT_NE(at<acis_Point>(1), nullptr);
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\npoint $-1 1 2"), satParser::kParsed);
    EXPECT_EQ(messages.text(),
              "*** ERROR: Syntax error at sequence number 1: Expected '#'\n"
              "*** ERROR: Unexpected EOF in satParser::skipToEndOfEntity\n");
}

TEST_F(SatParserTest, EndMarkersEndTheRecords) {
    for (const char* marker : {"End-of-ACIS-data", "Begin-of-ACIS-History-Data"}) {
        SCOPED_TRACE(marker);
        ASSERT_EQ(parseRecords(400, std::string("body $-1 $-1 $-1 $-1 #\n") + marker + "\nbody $-1 $-1 $-1 $-1 #\n"),
                  satParser::kParsed);
        EXPECT_EQ(parser().bodyCount(), 1);
        EXPECT_EQ(parser().currentIndex(), 1);
    }
}

// The dump stream receives the text of the records that no reader knows; skipping every
// record leaves no body, which is no failure then.
TEST_F(SatParserTest, DumpStreamAndSkippedRecords) {
    const std::string text = satHeader(400) + "body $-1 $-1 $-1 $-1 #\n-4 mystery $-1 1 2 #\npoint $-1 1 2 3 #\n";
    {
        std::ostringstream dump;
        satParser parser(text);
        parser.setDumpStream(&dump);
        EXPECT_EQ(parser.parse(), satParser::kParsed);
        EXPECT_EQ(dump.str(), "-4 mystery  $-1 1 2 #\n");
        EXPECT_NE(acis_cast<acis_Point>(parser.entityAt(5)), nullptr);
    }
    satParser skipping(text);
    skipping.setSkipRecords(true);
    EXPECT_EQ(skipping.parse(), satParser::kParsed);
    EXPECT_EQ(skipping.bodyCount(), 0);
    EXPECT_EQ(skipping.entitiesMade(), 0);
    EXPECT_EQ(skipping.skippedRecords(), 3);
}

// Two records with one sequence number: the later one takes the index, the earlier one stays
// alive for the references already set to it.
TEST_F(SatParserTest, ARepeatedSequenceNumberKeepsTheEarlierEntityAlive) {
    ASSERT_EQ(parseRecords(400, "-1 point $-1 1 1 1 #\n-0 body $-1 $-1 $-1 $-1 #\n-2 vertex $-1 $-1 $1 #\n"
                                "-1 point $-1 2 2 2 #\n-3 vertex $-1 $-1 $1 #\n"),
              satParser::kParsed);
    EXPECT_EQ(parser().entitiesMade(), 5);
    EXPECT_EQ(at<acis_Vertex>(2)->position(), aPoint(1, 1, 1));
    EXPECT_EQ(at<acis_Vertex>(3)->position(), aPoint(2, 2, 2));
}

TEST_F(SatParserTest, TheTableDumpListsSubtypesAndEntities) {
    ASSERT_EQ(parseRecords(400, "body $-1 $1 $-1 $-1 #\nlump $-1 $-1 $-1 $0 #\n"
                                "spline-surface $-1 forward { offsur 1 2 3 } I I I I #\n"),
              satParser::kParsed);
    std::ostringstream refMgrText, tablesText;
    parser().dumpTables(refMgrText, tablesText);
    EXPECT_EQ(refMgrText.str(), "0 offsur\n");
    EXPECT_EQ(tablesText.str(),
              "-0 body ---NULL--- $1 ---NULL--- ---NULL---\n"
              "-1 lump ---NULL--- ---NULL--- ---NULL--- $0\n"
              "-2 spline-surface ---NULL--- spline sense=0 I I I I \n");
}

// Counts and references that the rest of the text cannot hold end in a null reference or a
// syntax error, with bounded memory, and reading goes on.
TEST_F(SatParserTest, HostileCountsAndReferences) {
    // A reference far beyond the text, and a header that counts 2^31 - 1 records.
    const std::string text = "400 2147483647 1 0\n7 Testing 9 Tracemill 4 date 1 1e-6 1e-10\n"
                             "body $-1 $2000000000 $99999999999 $-1 #\npoint $-1 1 2 3 #\n";
    ASSERT_EQ(parse(text), satParser::kParsed);
    EXPECT_EQ(at<acis_Body>(0)->lump(), nullptr);
    EXPECT_LE(parser().tableSize(), int(text.size()) + 2);
    EXPECT_NE(at<acis_Point>(1), nullptr);
    EXPECT_EQ(messages.text(), "");

    // A sequence number beyond the text.
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\n-2000000000 point $-1 1 2 3 #\npoint $-1 4 5 6 #\n"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 1: Bad sequence number\n");
    EXPECT_NE(at<acis_Point>(2), nullptr);

    // A counted string of 10^9 characters: in the header, and as the convexity of an edge.
    EXPECT_EQ(parse("400 0 1 0\n1000000000 Testing 9 Tracemill 4 date 1 1e-6 1e-10\nbody $-1 $-1 $-1 $-1 #\n"),
              satParser::kHeaderUnreadable);
    ASSERT_EQ(parseRecords(500, "body $-1 $-1 $-1 $-1 #\nedge $-1 $-1 0 $-1 1 $-1 $-1 forward 1000000000 unknown #\n"),
              satParser::kParsed);
    EXPECT_NE(at<acis_Edge>(1), nullptr);
    EXPECT_EQ(messages.text(),
              "*** ERROR: Syntax error at sequence number 1: Expected '#'\n"
              "*** ERROR: Unexpected EOF in satParser::skipToEndOfEntity\n");
}

// Records of one character each (a lone '#') carry the record index as far as the text's
// length; an entity after them is still stored in the table.
TEST_F(SatParserTest, ARunOfEmptyRecordsBeforeAnEntity) {
    ASSERT_EQ(parse("103 0 1 0\n" + std::string(60, '#') + " body $-1 $-1 $-1 $-1 #\n"), satParser::kParsed);
    EXPECT_EQ(parser().messageCount(), 60);
    EXPECT_NE(at<acis_Body>(60), nullptr);
    EXPECT_LE(parser().tableSize(), int(std::string("103 0 1 0\n").size()) + 60 + 26 + 2);
}

TEST_F(SatParserTest, DeeplyNestedBlocksAreASyntaxError) {
    const std::string nested(100000, '{');
    const std::string closing(100000, '}');
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\n"
                                "spline-surface $-1 forward " + nested + " " + closing + " I I I I #\n"
                                "point $-1 1 2 3 #\n"),
              satParser::kParsed);
    EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 1: Subtype blocks nested too deeply\n");
    ASSERT_NE(at<acis_Point>(2), nullptr);
    EXPECT_EQ(at<acis_Point>(2)->position(), aPoint(1, 2, 3));
    // Unclosed, the blocks end at the record's '#'.
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\nmystery " + nested + " #\npoint $-1 1 2 3 #\n"), satParser::kParsed);
    EXPECT_EQ(messages.text(), "");
    EXPECT_NE(at<acis_Point>(2), nullptr);
}

// Messages of the diagnostic switches are written only while their switch is on.
TEST_F(SatParserTest, DiagnosticSwitchesAddTheirMessages) {
    const struct {
        bool SatDiagnosticSwitches::*flag;
        int version;
        const char* record;
        const char* message;
    } rows[] = {
        {&SatDiagnosticSwitches::warnings, 400, "spline-surface $-1 forward { mystery 1 } I I I I #",
         "+++ Warning: Unrecognized subtype reference in satParser::parseSubtype:\n\t\tmystery\n"},
        {&SatDiagnosticSwitches::errorDetails, 400, "spline-surface $-1 forward { ref 5 } I I I I #",
         "*** ERROR: Invalid reference: 5\n"},
        {&SatDiagnosticSwitches::errorDetails, 400,
         "spline-surface $-1 forward { rotsur blob 0 0 0 0 0 1 I I I I 0 0 } I I I I #",
         "*** ERROR: Expected a curve to restore, found: blob\n"},
        {&SatDiagnosticSwitches::warnings, 500, "edge $-1 $-1 0 $-1 1 $-1 $-1 forward 6 convex #",
         "+++ Warning: acis_Edge: convex\n"},
        {&SatDiagnosticSwitches::warnings, 500, "spline-surface $-1 forward { exactsur summary } I I I I #",
         "Ignoring 'summary' in acis_spl_sur::restore_common_data\n"},
        {&SatDiagnosticSwitches::warnings, 500,
         "intcurve-curve $-1 forward { exactcur guess I I tag null_surface null_surface nullbs nullbs I I } I I #",
         "+++ Warning: Treating summary tag: guess as AS_OTHER in acis_int_cur::readData\n"},
        {&SatDiagnosticSwitches::toleranceEcho, 400,
         "intcurve-curve $-1 forward { exactcur nullbs 0.25 null_surface null_surface nullbs nullbs I I } I I #",
         "resabs = 1e-06; resnor = 1e-10\nAS_FULL, fitTolerance = 0.25\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record);
        const std::string text = satHeader(row.version) + "body $-1 $-1 $-1 $-1 #\n" + row.record + "\n";
        satSwitches() = SatDiagnosticSwitches{};
        ASSERT_EQ(parse(text), satParser::kParsed);
        const std::string unswitched = messages.text();
        satSwitches().*row.flag = true;
        ASSERT_EQ(parse(text), satParser::kParsed);
        // The switched text is the unswitched one with the message added.
        std::string switched = messages.text();
        EXPECT_EQ(parser().messageCount(), std::count(switched.begin(), switched.end(), '\n'));
        const size_t at = switched.find(row.message);
        ASSERT_NE(at, std::string::npos) << switched;
        EXPECT_EQ(switched.erase(at, std::strlen(row.message)), unswitched);
        EXPECT_NE(parser().entityAt(1), nullptr);
    }
    satSwitches() = SatDiagnosticSwitches{};
    satSwitches().errorDetails = true;
    ASSERT_EQ(parseRecords(400, "body $-1 $-1 $-1 $-1 #\n"), satParser::kParsed);
    parser().entityAt(0)->setPointerField(999, nullptr);
    EXPECT_EQ(messages.text(), "*** ERROR: Cannot setPointerField (999)\n");
}

} // namespace
} // namespace tracemill
