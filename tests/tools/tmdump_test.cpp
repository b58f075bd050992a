#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "test_paths.h"
#include "toolkit/core/builtin_init_data.h"

namespace tracemill {
namespace {

struct ToolRun {
    std::string output;
    int status = -1;
};

// Runs tmdump with the arguments; its standard error joins standard output unless
// `joinStderr` is false (then the arguments redirect the streams themselves).
ToolRun tmdump(const std::string& arguments, bool joinStderr = true) {
    ToolRun run;
    std::FILE* pipe =
        ::popen((std::string(TMDUMP_PATH) + " " + arguments + (joinStderr ? " 2>&1" : "")).c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    run.status = ::pclose(pipe);
    return run;
}

TEST(TmdumpInitData, PrintsBannerCodePagesAndBuiltinFonts) {
    const ToolRun run = tmdump("--init-data");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string size = "init data: " + std::to_string(dbBuiltinInitData().size()) + " bytes\n";
    EXPECT_EQ(run.output.rfind(size, 0), 0u) << run.output;
    for (const char* line : {
             "\nbanner: Tracemill initialisation data",
             "\n   0 undefined  slot  0  single-byte, 128 of 128 bytes 80-FF mapped\n",
             "\n   1 ascii      slot  1  single-byte, 0 of 128 bytes 80-FF mapped\n",
             "\n  26 johab      slot 23  no table\n",
             "\n  30 ansi_1252  slot 27  single-byte, 123 of 128 bytes 80-FF mapped\n",
             "\n  38 ansi_932   slot 34  double-byte, ",
             "\n  SIMPLEX.SHX kind 0x04, above 21, below 6, modes 2, shapes 100 (0 to 258), 4998 bytes\n",
             "\n  GDT.SHX     kind 0x44, above 21, below 6, modes 2, shapes 103 (0 to 258), 4832 bytes\n",
             "\n    shape numbers: 0 10 32 33 34 ... 256 257 258\n",
         }) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line;
    }
}

std::string dxfFixture(const char* name) { return (test::testDataDir() / "dxf" / name).string(); }

// What tmdump says when it is used wrongly or given something that is no drawing: the
// message names the reason, and the exit code tells usage (2) from failure (1).
TEST(TmdumpUsage, UsageAndFileErrorsNameTheirReason) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tmdump_usage_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "empty.dxf").close();
    std::ofstream(dir / "notes.dwg") << "These are notes, not a drawing.\n";
    const struct {
        const char* name;
        std::string arguments;
        int exitCode;
        const char* message;
        bool toStdout;
    } cases[] = {
        {"no arguments", "", 2, "usage: tmdump", false},
        {"--help", "--help", 0, "Exit status: 0 success; 1 ", true},
        {"-h", "-h", 0, "tmdump --report FILE", true},
        {"--help with more", "--help x", 2, "usage: tmdump", false},
        {"unknown option", "--no-such-option", 2, "usage: tmdump", false},
        {"unknown option before a file", "--draw-all " + dxfFixture("minimal.dxf"), 2, "usage: tmdump", false},
        {"missing file", (dir / "absent.dxf").string(), 1, "absent.dxf: No such file or directory", false},
        {"directory", dir.string(), 1, ": is a directory, not a drawing file", false},
        {"empty file", (dir / "empty.dxf").string(), 1, "empty.dxf: is empty, not a drawing", false},
        {"text file named .dwg", (dir / "notes.dwg").string(), 1, "notes.dwg: not a drawing: neither a DWG nor a DXF file",
         false},
        {"summary of a missing file", "--summary " + (dir / "absent.dxf").string(), 1, "No such file or directory",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = tmdump(c.arguments + (c.toStdout ? " 2>/dev/null" : " 2>&1 >/dev/null"), false);
        ASSERT_TRUE(WIFEXITED(run.status));
        EXPECT_EQ(WEXITSTATUS(run.status), c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
    std::filesystem::remove_all(dir);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string newDrawingGolden() {
    std::ifstream in(test::testDataDir() / "tmdump" / "new_drawing.dump", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The dump of a new drawing is pinned whole by the golden file; when a change of the records
// or of the dump shows here, the golden is updated deliberately with the change.
TEST(TmdumpNew, ANewDrawingDumpsAsTheGolden) {
    const ToolRun run = tmdump("--new");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> expected = linesOf(newDrawingGolden());
    const std::vector<std::string> actual = linesOf(run.output);
    ASSERT_FALSE(expected.empty()) << "golden file missing";
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
    EXPECT_EQ(actual.size(), expected.size());
}

// The golden's key lines, written from the rules of a new drawing rather than taken from the
// program: handles count from 1 (table controls 1-9, the space block records A and B, the
// viewport-entity-header control C, the spaces' BLOCK/ENDBLK entities D-10, then the default
// records ByBlock, ByLayer, Continuous, layer 0, *ACTIVE, ACAD, Standard, Standard 11-18, the
// named object dictionary 19, ACAD_GROUP 1A, ACAD_MLINESTYLE 1B and the multiline style 1C,
// then what every 2000 drawing has: the "Normal" placeholder 1D, the plot-style dictionary 1E,
// the layout dictionary 1F with the layouts "Model" 20 and "Layout1" 21, the plot-settings
// dictionary 22), so HANDSEED is 23; the default classes are numbered from 500 in their table
// order.
TEST(TmdumpNew, TheGoldensKeyLinesFollowFromTheRulesOfANewDrawing) {
    const char* const wholeLines[] = {
        "DRAWING version=7 creationVersion=7 sourceFormat=0 handleSeed=23",
        "HEADER HANDSEED 23",
        "HEADER HANDLING 1",
        "HEADER ACADVER \"AC1012\"",
        "HEADER DWGCODEPAGE 0",
        "HEADER-CURRENT celtype=13 clayer=14 cmlstyle=1C dimstyle=18 dimtxsty=17 pucsname=0 textstyle=17 "
        "ucsname=0 dimldrblk=0 dimblk=0 dimblk1=0 dimblk2=0",
        "HANDLES blockControl=1 layerControl=2 styleControl=3 linetypeControl=4 viewControl=5 ucsControl=6 "
        "vportControl=7 appIdControl=8 dimStyleControl=9 viewportEntityHeaderControl=C mlineStyleDictionary=1B "
        "groupDictionary=1A namedObjectDictionary=19 modelSpaceBlock=A paperSpaceBlock=B byBlockLinetype=11 "
        "byLayerLinetype=12 modelSpaceBlockEntity=D modelSpaceEndBlockEntity=E paperSpaceBlockEntity=F "
        "paperSpaceEndBlockEntity=10 further=[0,0,0,0] plotStyleDictionary=1E layoutDictionary=1F "
        "plotSettingsDictionary=22 viewportEntityHeader=0",
        "CLASS number=500 dxfName=\"LWPOLYLINE\" className=\"AcDbPolyline\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=498",
        "CLASS number=501 dxfName=\"IMAGE\" className=\"AcDbRasterImage\" applicationName=\"ISM\" "
        "proxyFlags=-32641 wasAZombie=0 itemClassId=498",
        "CLASS number=502 dxfName=\"OLE2FRAME\" className=\"AcDbOle2Frame\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=498",
        "CLASS number=503 dxfName=\"HATCH\" className=\"AcDbHatch\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=498",
        "CLASS number=504 dxfName=\"DICTIONARYVAR\" className=\"AcDbDictionaryVar\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=505 dxfName=\"RASTERVARIABLES\" className=\"AcDbRasterVariables\" applicationName=\"ISM\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=506 dxfName=\"IMAGEDEF\" className=\"AcDbRasterImageDef\" applicationName=\"ISM\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=507 dxfName=\"IMAGEDEF_REACTOR\" className=\"AcDbRasterImageDefReactor\" "
        "applicationName=\"ISM\" proxyFlags=-32767 wasAZombie=0 itemClassId=499",
        "CLASS number=508 dxfName=\"IDBUFFER\" className=\"AcDbIdBuffer\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=509 dxfName=\"SPATIAL_FILTER\" className=\"AcDbSpatialFilter\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=510 dxfName=\"XRECORD\" className=\"AcDbXrecord\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=511 dxfName=\"SORTENTSTABLE\" className=\"AcDbSortentsTable\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=512 dxfName=\"LAYER_INDEX\" className=\"AcDbLayerIndex\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=513 dxfName=\"SPATIAL_INDEX\" className=\"AcDbSpatialIndex\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=514 dxfName=\"OBJECT_PTR\" className=\"CAseDLPNTableRecord\" "
        "applicationName=\"\\\"ASE-LPNTableRecord\\\"\" proxyFlags=-32767 wasAZombie=0 itemClassId=499",
        "CLASS number=515 dxfName=\"LAYOUT\" className=\"AcDbLayout\" applicationName=\"AutoCAD 2000\" "
        "proxyFlags=0 wasAZombie=0 itemClassId=499",
        "CLASS number=516 dxfName=\"PLOTSETTINGS\" className=\"AcDbPlotSettings\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=-32768 wasAZombie=0 itemClassId=499",
        "CLASS number=517 dxfName=\"ACDBDICTIONARYWDFLT\" className=\"AcDbDictionaryWithDefault\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=0 wasAZombie=0 itemClassId=499",
        "CLASS number=518 dxfName=\"ACDBPLACEHOLDER\" className=\"AcDbPlaceHolder\" "
        "applicationName=\"AutoCAD 2000\" proxyFlags=0 wasAZombie=0 itemClassId=499",
        "LAYER handle=14 name=\"0\" owner=2 endOfTable=0 xrefIndex=-1 flags=0 deleted=0 extensionDictionary=0 xdata=- "
        "reactors=[] colour=7 linetype=13 plotFlag=0 lineweight=0 plotStyle=1D frozenInViewports=0",
        "STYLE handle=17 name=\"Standard\" owner=3 endOfTable=0 xrefIndex=-1 flags=0 deleted=0 extensionDictionary=0 "
        "xdata=- reactors=[] bigFontFile=\"\" generation=0 fontFile=\"txt\" obliqueAngle=0 fixedHeight=0 "
        "widthFactor=1 lastHeight=0 xrefBlock=0",
        "APPID handle=16 name=\"ACAD\" owner=8 endOfTable=0 xrefIndex=-1 flags=0 deleted=0 extensionDictionary=0 xdata=- "
        "reactors=[]",
        "ENTITIES block=A count=0",
        "ENTITIES block=B count=0",
        "OBJECT handle=19 type=32 owner=0 extensionDictionary=0 xdata=- reactors=[] "
        "entries=[{name=\"ACAD_GROUP\" handle=1A},{name=\"ACAD_MLINESTYLE\" handle=1B},"
        "{name=\"ACAD_LAYOUT\" handle=1F},{name=\"ACAD_PLOTSETTINGS\" handle=22},"
        "{name=\"ACAD_PLOTSTYLENAME\" handle=1E}] hardOwner=1 cloning=0",
        "OBJECT handle=1D type=518 owner=1E extensionDictionary=0 xdata=- reactors=[1E]",
        "OBJECT handle=1E type=517 owner=19 extensionDictionary=0 xdata=- reactors=[19] "
        "entries=[{name=\"Normal\" handle=1D}] cloning=0 defaultEntry=1D",
        "OBJECT handle=1F type=32 owner=19 extensionDictionary=0 xdata=- reactors=[19] "
        "entries=[{name=\"Layout1\" handle=21},{name=\"Model\" handle=20}] hardOwner=1 cloning=0",
        "OBJECT handle=22 type=32 owner=19 extensionDictionary=0 xdata=- reactors=[19] entries=[] hardOwner=1 "
        "cloning=0",
        "OBJECT handle=1A type=32 owner=19 extensionDictionary=0 xdata=- reactors=[19] entries=[] hardOwner=1 "
        "cloning=0",
        "OBJECT handle=1B type=32 owner=19 extensionDictionary=0 xdata=- reactors=[19] "
        "entries=[{name=\"Standard\" handle=1C}] hardOwner=1 cloning=0",
        "OBJECT handle=1C type=33 owner=1B extensionDictionary=0 xdata=- reactors=[1B] name=\"Standard\" "
        "description=\"\" flags=0 fillColour=256 startAngle=1.5707963267948966 endAngle=1.5707963267948966 "
        "elements=[{offset=0.5 colour=256 linetypeIndex=32767},{offset=-0.5 colour=256 linetypeIndex=32767}]",
    };
    // Records whose many template fields are pinned by the golden alone: their identity here.
    const char* const linePrefixes[] = {
        "LTYPE handle=13 name=\"Continuous\" owner=4 endOfTable=0 xrefIndex=-1 flags=64 deleted=0 extensionDictionary=0 "
        "xdata=- reactors=[] description=\"Solid line\" alignment=65 dashCount=0 patternLength=0 ",
        "LTYPE handle=11 name=\"ByBlock\" owner=4 ",
        "LTYPE handle=12 name=\"ByLayer\" owner=4 ",
        "VPORT handle=15 name=\"*ACTIVE\" owner=7 ",
        "DIMSTYLE handle=18 name=\"Standard\" owner=9 ",
        "BLOCK_RECORD handle=A name=\"*MODEL_SPACE\" owner=1 endOfTable=0 xrefIndex=-1 flags=0 deleted=0 "
        "extensionDictionary=0 xdata=- reactors=[] layout=20 ",
        "BLOCK_RECORD handle=B name=\"*PAPER_SPACE\" owner=1 endOfTable=0 xrefIndex=-1 flags=0 deleted=0 "
        "extensionDictionary=0 xdata=- reactors=[] layout=21 ",
        "OBJECT handle=20 type=515 owner=1F extensionDictionary=0 xdata=- reactors=[1F] ",
        "OBJECT handle=21 type=515 owner=1F extensionDictionary=0 xdata=- reactors=[1F] ",
    };
    const std::vector<std::string> golden = linesOf(newDrawingGolden());
    auto position = [&](const std::string& text, bool whole) {
        for (size_t i = 0; i < golden.size(); ++i) {
            if (whole ? golden[i] == text : golden[i].rfind(text, 0) == 0) return int(i);
        }
        return -1;
    };
    for (const char* line : wholeLines) EXPECT_GE(position(line, true), 0) << line;
    for (const char* prefix : linePrefixes) EXPECT_GE(position(prefix, false), 0) << prefix;
    // Continuous was added at the front, so ByBlock and ByLayer stay last.
    EXPECT_LT(position(linePrefixes[0], false), position(linePrefixes[1], false));
    EXPECT_LT(position(linePrefixes[1], false), position(linePrefixes[2], false));
}

TEST(TmdumpDrawing, DumpsALoadedDrawing) {
    const ToolRun run = tmdump(dxfFixture("minimal.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.rfind("DRAWING version=4 creationVersion=", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\nLAYER "), std::string::npos);
}

TEST(TmdumpDrawing, SummaryGivesVersionTableCountsAndEntitiesByKindAndSpace) {
    const ToolRun run = tmdump("--summary " + dxfFixture("kinds_2000.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.rfind("DRAWING version=7 ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\nCOUNTS classes="), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" unplacedRecords=0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nENTITY-COUNTS space=model "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" LWPOLYLINE="), std::string::npos) << run.output;
}

// The report in words names the file, the version as users know it, the format, the tables,
// the entities by kind (class-based kinds by their class names) and the extents.
TEST(TmdumpDrawing, TheReportDescribesTheDrawingInWords) {
    const ToolRun run = tmdump("--report " + dxfFixture("kinds_2000.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    for (const char* text : {"kinds_2000.dxf\n", "  version   AC1015 (2000), DXF (ASCII)\n", "  tables    2 layers, 4 linetypes,",
                             "  entities  ", " in model space, ", "  by kind   3DFACE 1, 3DSOLID 1,",
                             "  extents   "}) {
        EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
    }
    EXPECT_EQ(run.output.find("SEQEND"), std::string::npos) << "sequence ends are structure, not entities";
}

// A DXF file of a version newer than the reader knows is read as "AC1009" and dumped, and the
// dump says so: the version the file names, what it was read as, and what was not kept.
TEST(TmdumpDrawing, ASummaryOfANewerDxfTellsWhatItWasReadAsAndWhatWasNotKept) {
    const ToolRun run = tmdump("--summary " + dxfFixture("newer_version.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> lines = linesOf(run.output);
    ASSERT_GE(lines.size(), 3u) << run.output;
    EXPECT_EQ(lines[0].rfind("DRAWING version=4 ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "NOTE read as AC1009: the file names version \"AC1018\"; 2 classes and 3 objects not kept");
    EXPECT_NE(run.output.find("\nENTITY-COUNTS space=model LINE=1 LWPOLYLINE=1\n"), std::string::npos) << run.output;
    // A file read as it is has no such line.
    EXPECT_EQ(tmdump("--summary " + dxfFixture("minimal.dxf")).output.find("NOTE"), std::string::npos);
    // The report says it in words.
    const ToolRun report = tmdump("--report " + dxfFixture("newer_version.dxf"));
    ASSERT_EQ(report.status, 0) << report.output;
    EXPECT_NE(report.output.find("  version   AC1009 (R11/R12), DXF (ASCII)\n"
                                 "  note      the file names version \"AC1018\", which this program does not read; "
                                 "read as AC1009 (R11/R12),\n"
                                 "            2 classes and 3 objects were not kept\n"),
              std::string::npos)
        << report.output;
}

TEST(TmdumpDrawing, AFailedLoadPrintsTheErrorAndItsMeaning) {
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"no_eof.dxf", "error 30: the DXF file has no EOF"},
        {"code_letter.dxf", "error 299: a DXF group code line holds a letter"},
        {"release_2_10.dwg", "error 8: the DWG file is of a version this program does not read"},
        {"duplicate_handle.dxf", "error 172: a record's handle is already in use"},
    };
    for (const auto& c : cases) {
        const ToolRun run = tmdump(dxfFixture(c.file));
        EXPECT_NE(run.status, 0) << c.file;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

// The R13-2000 samples dump whole (header, classes, tables, entities, objects); DWG files of
// other versions are refused with error 8 and its meaning.
TEST(TmdumpDrawing, DumpsTheDwgSamplesAndRefusesOtherVersions) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_r13.dwg", "example_r14.dwg", "example_2000.dwg", "2000_entities-2d.dwg",
                             "oscilloscope_case_2000.dwg"}) {
        const ToolRun run = tmdump((samples / "dwg" / name).string());
        ASSERT_EQ(run.status, 0) << name << "\n" << run.output.substr(0, 500);
        for (const char* start : {"\nHEADER ACADVER ", "\nCLASS ", "\nLTYPE ", "\nLAYER ", "\nSTYLE ", "\nVPORT ",
                                  "\nAPPID ", "\nDIMSTYLE ", "\nBLOCK_RECORD ", "\nENTITY ", "\nOBJECT "})
            EXPECT_NE(run.output.find(start), std::string::npos) << name << ": " << start;
    }
    for (const char* name : {"example_2004.dwg", "r1.4_entities.dwg"}) {
        const ToolRun run = tmdump((samples / "dwg" / name).string());
        EXPECT_NE(run.status, 0) << name;
        EXPECT_NE(run.output.find("error 8: the DWG file is of a version this program does not read"), std::string::npos)
            << run.output;
    }
}

// tmdump --draw prints, beside the hooks, one line per entity kind met, sorted by name, with
// what the entities of that kind put out.
TEST(TmdumpDraw, CountsWhatEachKindDraws) {
    const ToolRun run = tmdump("--draw " + dxfFixture("kinds_2000.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> kinds;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("kind ")) kinds.push_back(line);
    }
    EXPECT_TRUE(std::is_sorted(kinds.begin(), kinds.end()));
    for (const char* expected : {"kind CIRCLE entities=1 lines=40 fills=0 raster=0",
                                 "kind SOLID entities=1 lines=0 fills=1 raster=0",
                                 "kind MYENTITY entities=1 lines=0 fills=0 raster=0",
                                 "kind XLINE entities=1 lines=1 fills=0 raster=0"})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), expected), kinds.end()) << expected << "\n" << run.output;
}

// The samples as --draw --stream prints them: slot, hook name, arguments, one call a line.
std::vector<std::string> drawStream(const std::filesystem::path& file) {
    const ToolRun run = tmdump("--draw --stream " + file.string(), false);
    EXPECT_EQ(run.status, 0) << file;
    std::vector<std::string> out;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) out.push_back(line);
    return out;
}

TEST(TmdumpDraw, EverySampleDrawsAndTwinsDrawAlike) {
    TM_REQUIRE_SAMPLES(samples);
    // The samples are drawn side by side, one tmdump each.
    std::map<std::string, std::future<std::vector<std::string>>> running;
    for (const char* folder : {"dwg", "dxf"}) {
        for (const auto& entry : std::filesystem::directory_iterator(samples / folder)) {
            const std::string name = entry.path().filename().string();
            // Versions the readers refuse: before AC1002 and from AC1018 on.
            if (name == "r1.4_entities.dwg" || name == "example_2004.dwg") continue;
            running[name] = std::async(std::launch::async, drawStream, entry.path());
        }
    }
    std::map<std::string, std::vector<std::string>> streams;
    for (auto& [name, future] : running) {
        SCOPED_TRACE(name);
        std::vector<std::string> stream = future.get();
        ASSERT_GE(stream.size(), 3u);
        EXPECT_EQ(stream.front(), "6 progress 0");
        EXPECT_EQ(stream.back(), "6 progress 100");
        EXPECT_NE(std::find_if(stream.begin(), stream.end(),
                               [](const std::string& l) { return l.starts_with("15 entityBegin "); }),
                  stream.end());
        streams[name] = std::move(stream);
    }
    EXPECT_EQ(streams["example_2000.dxf"], streams["example_2000.dxfb"]);
    for (const char* twin : {"2000_entities-2d", "r11_entities-2d", "r2.6_entities"})
        EXPECT_EQ(streams[twin + std::string(".dwg")], streams[twin + std::string(".dxf")]) << twin;
    // The DXF text of example_2000 rounds the points of one SPLINE, so that some chord ends
    // move by one device unit; everything else is the same.
    const auto& dwg = streams["example_2000.dwg"];
    const auto& dxf = streams["example_2000.dxf"];
    ASSERT_EQ(dwg.size(), dxf.size());
    for (size_t i = 0; i < dwg.size(); ++i) {
        if (dwg[i] == dxf[i]) continue;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ASSERT_EQ(std::sscanf(dwg[i].c_str(), "1 lineTo %d %d", &x1, &y1), 2) << dwg[i];
        ASSERT_EQ(std::sscanf(dxf[i].c_str(), "1 lineTo %d %d", &x2, &y2), 2) << dxf[i];
        EXPECT_LE(std::abs(x1 - x2) + std::abs(y1 - y2), 1) << i << ": " << dwg[i] << " / " << dxf[i];
    }
}

// tmdump --solids parses and draws the ACIS data of every REGION, 3DSOLID and BODY: one line
// each.
TEST(TmdumpSolids, OneLinePerSolidWithItsParse) {
    // The fixture's solids carry a header cut short (result 2): nothing drawn.
    ToolRun run = tmdump("--solids " + dxfFixture("kinds_2000.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string nothing = " primitives=0 vertices=0 nonfinite=0 box=none pointbox=none\n";
    EXPECT_EQ(run.output, "handle=53 kind=3DSOLID result=2 records=0 skipped=0 errors=0 bodies=0" + nothing +
                              "handle=54 kind=REGION result=2 records=0 skipped=0 errors=0 bodies=0" + nothing +
                              "handle=55 kind=BODY result=2 records=0 skipped=0 errors=0 bodies=0" + nothing);
    // A solid without any SAT text: nothing to parse, nothing read from it.
    run = tmdump("--solids " + dxfFixture("solid_without_sat.dxf"));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "handle=20 kind=3DSOLID result=0 records=0 skipped=0 errors=0 bodies=0" + nothing);
    EXPECT_NE(tmdump("--solids").status, 0);
    EXPECT_NE(tmdump("--solids " + dxfFixture("no_eof.dxf")).status, 0);

    TM_REQUIRE_SAMPLES(samples);
    run = tmdump("--solids " + (samples / "dwg" / "oscilloscope_case_2000.dwg").string());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.substr(0, run.output.find(" box=")),
              "handle=36 kind=3DSOLID result=4 records=4557 skipped=0 errors=0 bodies=1 primitives=544 vertices=2496 "
              "nonfinite=0");
    EXPECT_NE(run.output.find(" pointbox=-27.00024010000001,-27.00000000000001,8.881784197001252e-16,"
                              "26.99975989999999,26.99999999999999,16\n"),
              std::string::npos)
        << run.output;
    // The regions and the solid are their straight edges: the vertices span the points exactly.
    const std::string regionA = "-6836.331483613787,-45.80779034293664,0,-3632.0418544487547,3983.339979056662,0";
    const std::string block = "2229.632278886831,13562.283472337987,0,4237.09785008781,14169.087206813578,4.000000000000003";
    const std::string regionB = "-2199.2082707150694,10344.68927305872,0,-54.05474532926735,12535.434744313578,0";
    for (const char* name : {"dwg/example_r13.dwg", "dwg/example_r14.dwg", "dwg/example_2000.dwg", "dxf/example_2000.dxf",
                             "dxf/example_2000.dxfb"}) {
        run = tmdump("--solids " + (samples / name).string());
        ASSERT_EQ(run.status, 0) << name << "\n" << run.output;
        EXPECT_EQ(run.output,
                  "handle=176 kind=REGION result=4 records=26 skipped=0 errors=0 bodies=1 primitives=4 vertices=8 "
                  "nonfinite=0 box=" + regionA + " pointbox=" + regionA + "\n"
                  "handle=2E1 kind=3DSOLID result=4 records=133 skipped=0 errors=0 bodies=1 primitives=18 vertices=36 "
                  "nonfinite=0 box=" + block + " pointbox=" + block + "\n"
                  "handle=37D kind=REGION result=4 records=31 skipped=0 errors=0 bodies=1 primitives=4 vertices=8 "
                  "nonfinite=0 box=" + regionB + " pointbox=" + regionB + "\n")
            << name;
    }
}

} // namespace
} // namespace tracemill
