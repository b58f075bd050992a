// Shared pieces of the SAT reader tests: the header of a text of a version, and a fixture that
// parses a text and keeps it (the parser reads the text in place) with the messages written.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "acis_test_support.h"
#include "toolkit/acis/sat/acis_entity.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

// The header of a SAT text: version, record count, one body, no history, and from version 200
// the three counted strings and the three floats.
inline std::string satHeader(int version, int records = 0) {
    std::string text = std::to_string(version) + " " + std::to_string(records) + " 1 0\n";
    if (version >= 200) text += "7 Testing 9 Tracemill 24 Thu Dec 10 12:00:00 2026\n1 9.9999999999999995e-07 1e-10\n";
    return text;
}

class SatParserTest : public AcisKernelTest {
protected:
    // Parses the text (kept with the parser) and returns the parse result.
    int parse(std::string text) {
        mParser.reset();
        mText = std::move(text);
        mParser = std::make_unique<satParser>(mText);
        messages.clear();
        return mParser->parse();
    }
    // The header of the version and the records.
    int parseRecords(int version, const std::string& records) { return parse(satHeader(version) + records); }

    satParser& parser() { return *mParser; }
    // The entity at the index as a T (null when there is none or it is of another kind).
    template <class T> T* at(int index) { return acis_cast<T>(mParser->entityAt(index)); }

private:
    std::string mText;
    std::unique_ptr<satParser> mParser;
};

// The toolkit started (the samples' drawings load through it) and the kernel's process-wide
// values reset around each test.
class AcisSamplesTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        acisResetKernelState();
    }
    void TearDown() override {
        acisResetKernelState();
        ToolkitTest::TearDown();
    }
};

} // namespace tracemill::test
