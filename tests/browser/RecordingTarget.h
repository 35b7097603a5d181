#pragma once
#include <string>
#include <vector>

#include "client/browser/IJSDispatch.h"

// A window side of the bridge that records each operation as "Name(parameter)".
class RecordingTarget : public IJSDispatch {
public:
    std::vector<std::wstring> calls;

    void ShowBindBtn() override { calls.push_back(L"ShowBindBtn()"); }
    void OpenGame(std::wstring p) override { calls.push_back(L"OpenGame(" + p + L")"); }
    void AccountRegisterSuccess(std::wstring p) override { calls.push_back(L"AccountRegisterSuccess(" + p + L")"); }
    void CloseBindPage(std::wstring p) override { calls.push_back(L"CloseBindPage(" + p + L")"); }
    void AccountBindSuccess(std::wstring p) override { calls.push_back(L"AccountBindSuccess(" + p + L")"); }
    void ShowIM(std::wstring p) override { calls.push_back(L"ShowIM(" + p + L")"); }
    void ApiClose() override { calls.push_back(L"ApiClose()"); }
    void DialogBoxTopInfo(std::wstring p) override { calls.push_back(L"DialogBoxTopInfo(" + p + L")"); }
    void OpenPay(std::wstring p) override { calls.push_back(L"OpenPay(" + p + L")"); }
    void ClosedBox() override { calls.push_back(L"ClosedBox()"); }
};
