#pragma once
#include <string>

// Window-free rules of the client's start-up and login frame.

// The command line, trimmed, starts the client hidden when it is exactly "-hh".
bool IsHiddenStartCommand(const std::wstring& commandLine);

// The "hotkey" value of static.ini: -1 (no boss key) when empty; otherwise a signed 32-bit
// base-10 number with optional leading white space and sign, read up to the first non-digit;
// no digits give 0 and values beyond the 32-bit range saturate.
int ParseHotkeyValue(const std::wstring& text);

// RegisterHotKey arguments for a boss key value: the high word holds the hot-key control's
// modifier flags (shift 1, control 2, alt 4), the low word the virtual-key code.
struct HotkeyRegistration {
    unsigned modifiers; // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
    unsigned virtualKey;
};
HotkeyRegistration ConvertBossKey(int bossKey);

struct SkinRect {
    int left, top, right, bottom; // right and bottom exclusive
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The login frame's buttons, in drawing order.
enum FrameButton { kCloseButton, kMinimizeButton, kOfficialLink, kPayLink, kServiceLink, kForumLink, kButtonCount, kNoButton = -1 };

extern const SkinRect kWebAreaRect;
extern const SkinRect kButtonRects[kButtonCount];

// The button under a client-coordinate point, or kNoButton.
FrameButton ButtonAt(int x, int y);

// Top-left corner that centres a window of the given size on a screen, truncating toward
// zero; a screen smaller than the window gives negative coordinates.
struct FramePoint {
    int x, y;
};
FramePoint CentreOnScreen(int screenWidth, int screenHeight, int width, int height);

// One mouse move over the frame: which hover flags are lit afterwards, whether the picture
// must be redrawn, and whether the hand cursor shows.
struct HoverState {
    bool lit[kButtonCount];
};
struct HoverStep {
    bool redraw;
    bool handCursor;
};
HoverStep MoveHover(HoverState& state, int x, int y);
