#include "client/app/FrameRules.h"

#include "framework/Text.h"

#include <climits>
#include <cwctype>

bool IsHiddenStartCommand(const std::wstring& commandLine)
{
    return TrimWhite(commandLine) == L"-hh";
}

int ParseHotkeyValue(const std::wstring& text)
{
    if (text.empty())
        return -1;
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturated; keep reading digits
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

HotkeyRegistration ConvertBossKey(int bossKey)
{
    const unsigned bits = static_cast<unsigned>(bossKey);
    const unsigned flags = (bits >> 16) & 0xFFFF;
    unsigned modifiers = 0;
    if (flags & 1) // HOTKEYF_SHIFT
        modifiers |= 4; // MOD_SHIFT
    if (flags & 2) // HOTKEYF_CONTROL
        modifiers |= 2; // MOD_CONTROL
    if (flags & 4) // HOTKEYF_ALT
        modifiers |= 1; // MOD_ALT
    return HotkeyRegistration{modifiers, bits & 0xFFFF};
}

const SkinRect kWebAreaRect = {445, 153, 1041, 523};

const SkinRect kButtonRects[kButtonCount] = {
    {1071, 127, 1102, 158}, // close
    {1053, 98, 1077, 122},  // minimise
    {478, 103, 563, 128},   // official site
    {586, 103, 671, 128},   // top-up
    {814, 103, 899, 128},   // customer service
    {922, 103, 1007, 128},  // forum
};

FrameButton ButtonAt(int x, int y)
{
    for (int b = 0; b < kButtonCount; ++b)
        if (kButtonRects[b].Contains(x, y))
            return static_cast<FrameButton>(b);
    return kNoButton;
}

FramePoint CentreOnScreen(int screenWidth, int screenHeight, int width, int height)
{
    return FramePoint{(screenWidth - width) / 2, (screenHeight - height) / 2};
}

HoverStep MoveHover(HoverState& state, int x, int y)
{
    const FrameButton over = ButtonAt(x, y);
    const bool hand = over == kCloseButton || over == kMinimizeButton;
    if (over == kNoButton) {
        // Outside the buttons every move clears the flags and redraws.
        for (bool& lit : state.lit)
            lit = false;
        return HoverStep{true, false};
    }
    if (state.lit[over])
        return HoverStep{false, hand};
    for (int b = 0; b < kButtonCount; ++b)
        state.lit[b] = b == over;
    return HoverStep{true, hand};
}
