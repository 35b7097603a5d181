#pragma once
#include <string>
#include <vector>

#include "framework/UiSeam.h"

// Answers message boxes with a fixed button and records them and the shell requests.
class BrowserTestSeam : public UiSeam {
public:
    explicit BrowserTestSeam(int answer = IDCANCEL) : answer_(answer) { previous_ = UiSeam::Install(this); }
    ~BrowserTestSeam() override { UiSeam::Install(previous_); }

    struct Box {
        HWND owner;
        std::wstring text, caption;
        UINT type;
    };
    struct Run {
        std::wstring verb, file;
        bool hasParameters, hasDirectory;
        int show;
    };
    std::vector<Box> boxes;
    std::vector<Run> runs;

    int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        boxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
        return answer_;
    }
    HINSTANCE ShellRun(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* directory, int show) override
    {
        runs.push_back({verb ? verb : L"", file ? file : L"", parameters != nullptr, directory != nullptr, show});
        return reinterpret_cast<HINSTANCE>(33);
    }

private:
    int answer_;
    UiSeam* previous_ = nullptr;
};
