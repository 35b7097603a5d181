#pragma once
#include <string>
#include <vector>

#include "framework/UiSeam.h"

// Installed for its lifetime: answers message boxes with a set button and records them and the
// shell requests.
class RecordingSeam : public UiSeam {
public:
    explicit RecordingSeam(int answer = IDCANCEL) : answer(answer) { previous_ = UiSeam::Install(this); }
    ~RecordingSeam() override { UiSeam::Install(previous_); }

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
    // The button every message box answers with.
    int answer;
    std::vector<Box> boxes;
    std::vector<Run> runs;

    int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        boxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
        return answer;
    }
    HINSTANCE ShellRun(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* directory, int show) override
    {
        runs.push_back({verb ? verb : L"", file ? file : L"", parameters != nullptr, directory != nullptr, show});
        return reinterpret_cast<HINSTANCE>(33);
    }

private:
    UiSeam* previous_ = nullptr;
};
