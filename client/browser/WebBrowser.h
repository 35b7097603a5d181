#pragma once
#include "framework/AxHost.h"

// A child window holding a WebBrowser control.
class CWebBrowser : public AxHost {
public:
    // Creates the control with the WebBrowser class id; false when that failed.
    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT controlId);
};
