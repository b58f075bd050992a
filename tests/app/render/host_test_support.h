// What the host-callback tests share: the toolkit started with the program's callbacks, the
// temporary files made by the program, and a small DXF drawing the toolkit reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/render/gdi_output_state.h"
#include "app/render/toolkit_lifetime.h"
#include "temp_folder.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

// The toolkit as the program runs it: started, then the program's callbacks installed.
class HostCallbackTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        InstallToolkitCallbacks();
    }
    void TearDown() override {
        ReleaseGdiOutputState();
        ToolkitTest::TearDown();
    }
};

// The files the program made in the temporary folder ("dwg" + a unique part).
inline std::vector<std::string> programTemporaryFiles() {
    std::vector<std::string> names;
    const char* folder = std::getenv("TMPDIR");
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder ? folder : "/tmp", error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("dwg")) names.push_back(entry.path().string());
    }
    return names;
}

// A DXF drawing of `lines` vertical LINE entities side by side.
inline std::string linesDxf(int lines) {
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < lines; ++i) {
        const std::string x = std::to_string(i);
        text += "0\nLINE\n8\n0\n10\n" + x + "\n20\n0\n30\n0\n11\n" + x + "\n21\n10\n31\n0\n";
    }
    return text + "0\nENDSEC\n0\nEOF\n";
}

} // namespace tracemill::test
