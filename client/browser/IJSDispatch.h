#pragma once
#include <string>

// The operations page script reaches through window.external (CJSDispatch decodes the calls).
// Every page-hosting window derives from this and overrides the operations it answers; the
// rest keep the do-nothing bodies. The slot order is fixed: pages of the platform rely on the
// command vocabulary, and the reserved slots keep the later ones where they belong.
class IJSDispatch {
public:
    virtual void ShowBindBtn() {}
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    virtual void Reserved3(std::wstring, std::wstring, std::wstring, long) {}
    virtual void Reserved4(std::wstring, std::wstring) {}
    virtual void OpenGame(std::wstring) {}
    virtual void AccountRegisterSuccess(std::wstring) {}
    virtual void CloseBindPage(std::wstring) {}
    virtual void AccountBindSuccess(std::wstring) {}
    virtual void Reserved5(std::wstring) {}
    virtual void ShowIM(std::wstring) {}
    virtual void ApiClose() {}
    virtual void DialogBoxTopInfo(std::wstring) {}
    virtual void OpenPay(std::wstring) {}
    virtual void ClosedBox() {}

protected:
    // Never deleted through this side: the window that implements it owns its own lifetime.
    ~IJSDispatch() = default;
};
