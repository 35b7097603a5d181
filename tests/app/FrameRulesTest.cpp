#include "client/app/FrameRules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(FrameRules, HiddenStartCommandLine)
{
    const struct {
        const wchar_t* line;
        bool hidden;
    } rows[] = {
        {L"-hh", true},     {L"  -hh\t ", true}, {L"\t-hh", true}, {L"-HH", false},
        {L"/hh", false},    {L"-hh x", false},   {L"-hhh", false}, {L"", false},
        {L"- hh", false},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(IsHiddenStartCommand(rows[i].line), rows[i].hidden) << "row " << i;
}

TEST(FrameRules, HotkeyValueParsing)
{
    const struct {
        const wchar_t* text;
        int value;
    } rows[] = {
        {L"", -1},
        {L"121", 121},
        {L"  121", 121},
        {L"+7", 7},
        {L"-1", -1},
        {L"abc", 0},
        {L"12abc", 12},
        {L" ", 0},
        {L"196729", 196729}, // 0x30079: Shift+Ctrl+F10
        {L"2147483647", INT_MAX},
        {L"2147483648", INT_MAX},
        {L"99999999999999999999", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"-99999999999999999999", INT_MIN},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(ParseHotkeyValue(rows[i].text), rows[i].value) << "row " << i;
}

TEST(FrameRules, BossKeyModifierConversion)
{
    const struct {
        int bossKey;
        unsigned modifiers;
        unsigned vk;
    } rows[] = {
        {121, 0, 0x79},                 // F10
        {(3 << 16) | 0x79, 4 | 2, 0x79}, // HOTKEYF_SHIFT|HOTKEYF_CONTROL -> MOD_SHIFT|MOD_CONTROL
        {(5 << 16) | 0x42, 4 | 1, 0x42}, // Shift+Alt+B
        {(6 << 16) | 0x5A, 2 | 1, 0x5A}, // Ctrl+Alt+Z
        {(8 << 16) | 0x41, 0, 0x41},     // HOTKEYF_EXT is dropped
        {(0xF << 16) | 0x70, 7, 0x70},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const HotkeyRegistration r = ConvertBossKey(rows[i].bossKey);
        EXPECT_EQ(r.modifiers, rows[i].modifiers) << "row " << i;
        EXPECT_EQ(r.virtualKey, rows[i].vk) << "row " << i;
    }
}

TEST(FrameRules, CentringTruncatesTowardZero)
{
    const struct {
        int sw, sh, x, y;
    } rows[] = {
        {1920, 1080, 365, 190},
        {1280, 1024, 45, 162},
        {1024, 768, -83, 34},
        {1189, 699, 0, 0},   // -0.5 truncates to 0
        {800, 600, -195, -50},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const FramePoint p = CentreOnScreen(rows[i].sw, rows[i].sh, 1190, 700);
        EXPECT_EQ(p.x, rows[i].x) << "row " << i;
        EXPECT_EQ(p.y, rows[i].y) << "row " << i;
    }
}

TEST(FrameRules, ButtonHitTestingUsesExclusiveEdges)
{
    const struct {
        int x, y;
        FrameButton button;
    } rows[] = {
        {1071, 127, kCloseButton}, {1101, 157, kCloseButton}, {1102, 157, kNoButton},
        {1053, 98, kMinimizeButton}, {1076, 121, kMinimizeButton}, {1077, 121, kNoButton},
        {478, 103, kOfficialLink}, {563, 110, kNoButton}, {586, 127, kPayLink},
        {814, 103, kServiceLink}, {1006, 127, kForumLink}, {1006, 128, kNoButton},
        {600, 300, kNoButton}, {0, 0, kNoButton},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(ButtonAt(rows[i].x, rows[i].y), rows[i].button) << "row " << i;
}

TEST(FrameRules, HoverMovesLightOneButtonAndRedrawOnlyOnChange)
{
    HoverState state{};
    // Onto close: lit, redraw, hand.
    HoverStep step = MoveHover(state, 1080, 140);
    EXPECT_TRUE(step.redraw);
    EXPECT_TRUE(step.handCursor);
    EXPECT_TRUE(state.lit[kCloseButton]);
    // Moving within close: no redraw, still the hand.
    step = MoveHover(state, 1081, 141);
    EXPECT_FALSE(step.redraw);
    EXPECT_TRUE(step.handCursor);
    // Straight onto the forum link: forum lit, close cleared, one redraw, arrow.
    step = MoveHover(state, 950, 110);
    EXPECT_TRUE(step.redraw);
    EXPECT_FALSE(step.handCursor);
    EXPECT_TRUE(state.lit[kForumLink]);
    EXPECT_FALSE(state.lit[kCloseButton]);
    // Outside the buttons every move redraws and clears.
    step = MoveHover(state, 10, 10);
    EXPECT_TRUE(step.redraw);
    step = MoveHover(state, 11, 10);
    EXPECT_TRUE(step.redraw);
    for (bool lit : state.lit)
        EXPECT_FALSE(lit);
    // Minimise shows the hand as well.
    step = MoveHover(state, 1060, 100);
    EXPECT_TRUE(step.handCursor);
    EXPECT_TRUE(state.lit[kMinimizeButton]);
}

} // namespace
