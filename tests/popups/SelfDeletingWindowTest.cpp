// Popup windows delete themselves once their window is gone. When that happens inside one of
// their own handlers (a command that destroys the window), the deletion must wait until the
// handler has returned.
#include "framework/Window.h"

#include <gtest/gtest.h>

namespace {

int g_deleted = 0;

class SelfDeleting : public Window {
public:
    bool deletedInsideHandler = true;
    ~SelfDeleting() override { ++g_deleted; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_COMMAND) {
            const int before = g_deleted;
            DestroyWindow();
            // Still this object's handler: it must still exist, and be usable.
            deletedInsideHandler = g_deleted != before;
            seen_ = msg;
            *flag_ = deletedInsideHandler;
            return 0;
        }
        return Window::WindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }

public:
    bool* flag_ = nullptr;
    UINT seen_ = 0;
};

TEST(SelfDeletingWindow, DeletionWaitsForTheHandlerThatDestroyedTheWindow)
{
    g_deleted = 0;
    bool deletedInside = true;
    auto* window = new SelfDeleting;
    window->flag_ = &deletedInside;
    const wchar_t* cls = RegisterFrameworkClass(0, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window->CreateEx(0, cls, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = window->Hwnd();
    SendMessageW(hwnd, WM_COMMAND, 1, 0);
    EXPECT_FALSE(deletedInside);
    EXPECT_EQ(1, g_deleted) << "deleted once the handler returned";
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(SelfDeletingWindow, PlainDestructionStillDeletesAtOnce)
{
    g_deleted = 0;
    auto* window = new SelfDeleting;
    const wchar_t* cls = RegisterFrameworkClass(0, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window->CreateEx(0, cls, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = window->Hwnd();
    DestroyWindow(hwnd);
    EXPECT_EQ(1, g_deleted);
}

} // namespace
