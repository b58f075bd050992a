// The program run on every sample drawing, copied into a new folder (its outputs land beside
// the drawings): each export format, every layout, one PDF of all drawings, and conversions
// to DXF and DWG of every version, each output read back by the tools that open such files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <ostream>
#include <string>
#include <vector>

#include "cgm_test_reader.h"
#include "program_run_support.h"
#include "temp_folder.h"

namespace tracemill::test {
namespace {

// Every sample copied into a folder as "TITLE_KIND.dwg" or "TITLE_KIND.dxf" (a binary DXF,
// "*.dxfb", takes the ".dxf" extension the program reads).
class SampleRun : public ::testing::Test {
protected:
    void SetUp() override {
        TM_REQUIRE_SAMPLES(samples);
        ASSERT_FALSE(folder_.path().empty());
        for (const char* kind : {"dwg", "dxf"}) {
            for (const auto& entry : std::filesystem::directory_iterator(samples / kind)) {
                // Twins share a title: each copy is named by its kind too, so that the
                // outputs of twins do not meet.
                const std::string kindOf = entry.path().extension().string().substr(1);
                const std::string name = entry.path().stem().string() + "_" + kindOf + (kindOf == "dwg" ? ".dwg" : ".dxf");
                std::filesystem::copy_file(entry.path(), folder_.path() / name);
                drawings_.push_back(name);
            }
        }
        std::sort(drawings_.begin(), drawings_.end());
        for (const std::string& name : drawings_) {
            if (!refused(name)) supported_.push_back(name);
        }
    }
    // The versions the readers refuse: "AC1.40" and "AC1018".
    static bool refused(const std::string& name) {
        return name.starts_with("r1.4") || name.find("2004") != std::string::npos;
    }
    static std::string joined(const std::vector<std::string>& names, const std::string& prefix = "") {
        std::string text;
        for (const std::string& name : names) text += " " + prefix + shellQuote(name);
        return text;
    }
    int tracemill(const std::string& arguments) const { return runTracemill(folder_.path(), "", arguments); }
    int shell(const std::string& command) const { return runInFolder(folder_.path(), command); }
    // One code per drawing: 0, or 2 for the refused versions.
    std::string expectedCodes(const std::vector<std::string>& names) const {
        std::string codes;
        for (const std::string& name : names) codes += refused(name) ? "2\n" : "0\n";
        return codes;
    }
    std::string codes() const { return readTextFile(folder_.path() / "codes.txt"); }
    // The supported drawings' titles with `suffix`.
    std::vector<std::string> outputs(const std::string& suffix) const {
        std::vector<std::string> names;
        for (const std::string& name : supported_) names.push_back(std::filesystem::path(name).stem().string() + suffix);
        return names;
    }
    // The files of the folder whose names end in `suffix`.
    std::vector<std::string> filesEndingIn(const std::string& suffix) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(suffix)) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder_;
    std::vector<std::string> drawings_;
    std::vector<std::string> supported_;
};

struct FormatCase {
    int format;
    const char* extension;
    // The check of every file of the format: a shell command over the names in $FILES (the
    // images are measured by identify, the CGM files read by the test's reader).
    const char* check;
};

const FormatCase kFormats[] = {
    {1, ".bmp", nullptr},
    {2, ".jpg", nullptr},
    {3, ".gif", nullptr},
    {4, ".pcx", nullptr},
    {101, ".svg", "xmllint --noout $FILES"},
    {102, ".plt", "for f in $FILES; do hp2xx -q -m png -f plt.png \"$f\" || exit 1; done"},
    {103, ".hgl", "for f in $FILES; do hp2xx -q -m png -f hgl.png \"$f\" || exit 1; done"},
    {104, ".pdf", "for f in $FILES; do qpdf --check \"$f\" >/dev/null || exit 1; done"},
    {106, ".svgz", "for f in $FILES; do gunzip -c \"$f\" | xmllint --noout - || exit 1; done"},
    {107, ".cgm", nullptr},
    {108, ".eps", "for f in $FILES; do gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage \"$f\" || exit 1; done"},
};

void PrintTo(const FormatCase& format, std::ostream* out) { *out << "/f " << format.format; }

class SampleFormats : public SampleRun, public testing::WithParamInterface<FormatCase> {};

TEST_P(SampleFormats, EveryDrawingIsExportedAndReadBack) {
    const FormatCase& format = GetParam();
    for (const char* tool : {"identify", "xmllint", "hp2xx", "qpdf", "gs"}) TM_REQUIRE_TOOL(tool);
    EXPECT_EQ(tracemill("/r /l codes.txt /f " + std::to_string(format.format) + joined(drawings_)), 1);
    EXPECT_EQ(codes(), expectedCodes(drawings_));
    const std::vector<std::string> written = outputs(format.extension);
    EXPECT_EQ(filesEndingIn(format.extension), [&] {
        std::vector<std::string> sorted = written;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }());
    if (format.format < 100) {
        const std::optional<std::string> sizes = runCommand(
            "cd " + shellQuote(folder_.path().string()) + " && identify -format '%w %h\\n'" + joined(written));
        ASSERT_TRUE(sizes);
        std::string expected;
        for (size_t i = 0; i < written.size(); ++i) expected += "800 600\n";
        EXPECT_EQ(*sizes, expected);
    } else if (format.check) {
        // The sample names hold no blanks or quotes.
        std::string files;
        for (const std::string& name : written) files += " " + name;
        EXPECT_EQ(shell("FILES='" + files + "'; " + format.check), 0);
    } else {
        for (const std::string& name : written) {
            EXPECT_EQ(ReadCgm(readFileBytes(folder_.path() / name)).error, "") << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SampleFormats, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                             return "Format" + std::to_string(info.param.format);
                         });

TEST_F(SampleRun, EveryLayoutOfEveryDrawing) {
    TM_REQUIRE_TOOL("identify");
    TM_REQUIRE_TOOL("xmllint");
    EXPECT_EQ(tracemill("/r /l codes.txt /a -2 /f 1" + joined(drawings_) + " /f 101" + joined(drawings_)), 1);
    const std::string written = codes();
    EXPECT_EQ(std::count(written.begin(), written.end(), '2'), 4);
    EXPECT_EQ(written.find_first_not_of("02\n"), std::string::npos) << written;
    // Every layout of a drawing with layouts is a file "TITLE-LAYOUT"; the others make one
    // image, and a vector file for each of model and paper space.
    const std::vector<std::string> images = filesEndingIn(".bmp");
    const std::vector<std::string> vectors = filesEndingIn(".svg");
    EXPECT_EQ(std::count(written.begin(), written.end(), '0'), std::ptrdiff_t(images.size() + vectors.size()));
    for (const std::string& title : outputs("")) {
        const auto ofTitle = [&](const std::string& name) { return name.starts_with(title); };
        EXPECT_TRUE(std::any_of(images.begin(), images.end(), ofTitle)) << title;
        EXPECT_GE(std::count_if(vectors.begin(), vectors.end(), ofTitle), 2) << title;
    }
    const std::optional<std::string> sizes =
        runCommand("cd " + shellQuote(folder_.path().string()) + " && identify -format '%w %h\\n'" + joined(images));
    ASSERT_TRUE(sizes);
    EXPECT_EQ(std::count(sizes->begin(), sizes->end(), '\n'), std::ptrdiff_t(images.size()));
    EXPECT_EQ(sizes->find_first_not_of("800 600\n"), std::string::npos) << *sizes;
    EXPECT_EQ(shell("xmllint --noout" + joined(vectors)), 0);
    // Ink on every page: each image holds more than its background's one colour (a paper
    // layout at least its sheet on the grey ground).
    const std::optional<std::string> colours =
        runCommand("cd " + shellQuote(folder_.path().string()) + " && identify -format '%f %k\\n'" + joined(images));
    ASSERT_TRUE(colours);
    std::istringstream pages(*colours);
    std::string page;
    int count = 0, pageCount = 0;
    while (pages >> page >> count) {
        ++pageCount;
        EXPECT_GE(count, 2) << page << " is blank";
    }
    EXPECT_EQ(pageCount, std::ptrdiff_t(images.size()));
}

TEST_F(SampleRun, OnePdfOfEveryDrawing) {
    TM_REQUIRE_TOOL("pdfinfo");
    TM_REQUIRE_TOOL("qpdf");
    EXPECT_EQ(tracemill("/r /l codes.txt /f 105 /d all.pdf" + joined(supported_)), 0);
    EXPECT_EQ(codes(), expectedCodes(supported_));
    EXPECT_EQ(shell("qpdf --check all.pdf >/dev/null"), 0);
    const std::optional<std::string> info =
        runCommand("pdfinfo " + shellQuote((folder_.path() / "all.pdf").string()));
    ASSERT_TRUE(info);
    const size_t pages = info->find("Pages:");
    ASSERT_NE(pages, std::string::npos) << *info;
    EXPECT_EQ(std::atoi(info->c_str() + pages + 6), int(supported_.size()));

    // Without a name: each drawing's page is made, the end reports 6, and no file is written.
    std::filesystem::remove(folder_.path() / "all.pdf");
    EXPECT_EQ(tracemill("/r /l codes.txt /f 105" + joined(supported_)), 1);
    EXPECT_EQ(codes(), expectedCodes(supported_) + "6\n");
    EXPECT_TRUE(filesEndingIn(".pdf").empty());
}

// "/x" and "/g" with each version text: every supported drawing converted, then read back by
// tmdump at the version asked for.
struct ConversionCase {
    const char* option;
    int versionIndex;
};

const ConversionCase kConversions[] = {
    {"/x25", 0}, {"/x26", 1}, {"/x9", 2}, {"/x10", 3}, {"/x11", 4}, {"/x12", 4}, {"/x13", 5}, {"/x14", 6}, {"/x", 7},
    {"/g25", 0}, {"/g26", 1}, {"/g9", 2}, {"/g10", 3}, {"/g11", 4}, {"/g12", 4}, {"/g13", 5}, {"/g14", 6}, {"/g", 7},
};

void PrintTo(const ConversionCase& conversion, std::ostream* out) { *out << conversion.option; }

class SampleConversions : public SampleRun, public testing::WithParamInterface<ConversionCase> {};

TEST_P(SampleConversions, EveryDrawingIsConvertedAndReadBack) {
    const ConversionCase& conversion = GetParam();
    const std::string extension = conversion.option[1] == 'g' ? ".dwg" : ".dxf";
    std::string arguments = "/r /l codes.txt";
    std::vector<std::string> targets;
    for (const std::string& name : supported_) {
        targets.push_back("out-" + std::filesystem::path(name).stem().string() + extension);
        arguments += std::string(" ") + conversion.option + " " + shellQuote(name) + " " + shellQuote(targets.back());
    }
    EXPECT_EQ(tracemill(arguments), 0);
    std::string expected;
    for (size_t i = 0; i < targets.size(); ++i) expected += "0\n";
    EXPECT_EQ(codes(), expected);
    for (const std::string& target : targets) {
        const std::optional<std::string> summary =
            runCommand(shellQuote(TRACEMILL_TMDUMP) + " --summary " + shellQuote((folder_.path() / target).string()));
        ASSERT_TRUE(summary) << target;
        EXPECT_TRUE(summary->starts_with("DRAWING version=" + std::to_string(conversion.versionIndex) + " "))
            << target << ": " << summary->substr(0, summary->find('\n'));
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, SampleConversions, testing::ValuesIn(kConversions),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                             std::string name = info.param.option[1] == 'g' ? "Dwg" : "Dxf";
                             return name + (info.param.option[2] ? info.param.option + 2 : "Default");
                         });

} // namespace
} // namespace tracemill::test
