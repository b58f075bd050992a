#include "platform/fonts/character_sets.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using CharacterSets = test::ToolkitTest;

TEST_F(CharacterSets, BytesOfTextBecomeCharacters) {
    // Each step: a byte and the character it completes (nothing while a lead byte waits).
    struct Step {
        uint16_t code;
        std::optional<uint32_t> character;
    };
    const struct {
        const char* name;
        int characterSet;
        std::vector<Step> steps;
    } cases[] = {
        {"double-byte character", 128, {{0x82, std::nullopt}, {0xA0, 0x3042}}},
        {"trail byte below 0x80", 128, {{0x81, std::nullopt}, {0x40, 0x3000}}},
        {"single-byte katakana", 128, {{0xB1, 0xFF71}, {'A', 'A'}}},
        {"lead byte before a byte that is no trail", 128, {{0x82, std::nullopt}, {0x0A, 0x0A}}},
        {"lead byte before a code the page lacks", 128, {{0x81, std::nullopt}, {0xAD, 0xFF6D}}},
        {"gb2312", 134, {{0xB0, std::nullopt}, {0xA1, 0x554A}}},
        {"ksc5601", 129, {{0xB0, std::nullopt}, {0xA1, 0xAC00}}},
        {"big5", 136, {{0xA4, std::nullopt}, {0x40, 0x4E00}}},
        {"ansi", 0, {{0x80, 0x20AC}, {0xE9, 0xE9}, {'z', 'z'}}},
        {"cyrillic", 204, {{0xC0, 0x0410}, {0xFF, 0x044F}}},
        {"greek", 161, {{0xE1, 0x03B1}}},
        {"symbol keeps its codes", 2, {{0x61, 0x61}, {0xB0, 0xB0}}},
        {"unknown set", 99, {{0xB0, 0xB0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CharacterDecoder decoder;
        for (const Step& step : c.steps) {
            uint32_t character = 0;
            const bool complete = decoder.decode(c.characterSet, step.code, character);
            ASSERT_EQ(complete, step.character.has_value()) << "byte " << step.code;
            if (complete) {
                EXPECT_EQ(character, *step.character) << "byte " << step.code;
            }
        }
    }
}

TEST(CharacterSetTable, CodePagesAndLanguages) {
    EXPECT_EQ(characterSetCodePage(128), 38);
    EXPECT_EQ(characterSetCodePage(204), 29);
    EXPECT_EQ(characterSetCodePage(2), -1);
    EXPECT_EQ(characterSetCodePage(99), -1);
    EXPECT_STREQ(characterSetLanguage(128), "ja");
    EXPECT_EQ(characterSetLanguage(0), nullptr);
}

} // namespace
} // namespace tracemill
