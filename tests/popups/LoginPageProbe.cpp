// Starts the login frame hidden with the uid and suid given on the command line, shows it so
// that it creates its login dialog, and keeps the messages flowing until the file named by
// the third argument appears (or twenty seconds have passed). Prints the address the dialog
// saw in BeforeNavigate2. Driven by login_page_request.py with the platform simulator.
#include "client/app/MainWnd.h"

#include "client/popups/WebDlg.h"

#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "framework/Text.h"

int main()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4) {
        std::fprintf(stderr, "usage: login_page_probe UID SUID STOPFILE\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)))
        return 3;
    int rc = 0;
    {
        CMainWnd frame(1);
        frame.uid = argv[1];
        frame.suid = argv[2];
        ShowWindow(frame.Hwnd(), SW_SHOW);
        CWebDlg* dialog = frame.LoginDialog();
        if (!dialog) {
            std::fprintf(stderr, "no login dialog\n");
            rc = 4;
        }
        for (int i = 0; i < 2000 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpPendingMessages();
        }
        if (dialog) {
            std::printf("navigated: %s\n", WideToUtf8(dialog->CurrentUrl()).c_str());
            std::printf("visible: %d\n", IsWindowVisible(dialog->Hwnd()) ? 1 : 0);
        }
        std::fflush(stdout);
        SendMessageW(frame.Hwnd(), WM_CLOSE, 0, 0);
        PumpPendingMessages();
    }
    OleUninitialize();
    LocalFree(argv);
    return rc;
}
