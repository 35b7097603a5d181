#pragma once
#include "framework/UiSeam.h"

#include <string>
#include <vector>

// Answers message boxes with a preset button and records them and every shell request.
class RecordingSeam : public UiSeam {
public:
    struct Message {
        std::wstring text, caption;
        UINT type;
    };
    struct ShellRequest {
        std::wstring verb, file;
        int show;
    };

    RecordingSeam() { previous_ = UiSeam::Install(this); }
    ~RecordingSeam() override { UiSeam::Install(previous_); }

    int ShowMessage(HWND, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        messages.push_back({text ? text : L"", caption ? caption : L"", type});
        return answer;
    }
    HINSTANCE ShellRun(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*, const wchar_t*, int show) override
    {
        shell.push_back({verb ? verb : L"", file ? file : L"", show});
        return reinterpret_cast<HINSTANCE>(42);
    }

    int answer = IDCANCEL;
    std::vector<Message> messages;
    std::vector<ShellRequest> shell;

private:
    UiSeam* previous_;
};

// Directory of the test executable, with its trailing backslash.
std::wstring TestModuleDirectory();
// A fresh empty folder under the system's temporary folder, with a trailing backslash.
std::wstring MakeTempFolder(const wchar_t* prefix);
// Raw bytes of a file ("" when missing).
std::string ReadFileBytes(const std::wstring& path);
