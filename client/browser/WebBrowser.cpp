#include "client/browser/WebBrowser.h"

#include <exdisp.h>

bool CWebBrowser::Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT controlId)
{
    return CreateControl(CLSID_WebBrowser, windowName, style, rect, parent, controlId);
}
