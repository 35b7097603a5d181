// How long one usage report keeps a thread's message loop from running.
//   report_block_bench.exe [--cold] BASE...   (each BASE an address such as http://127.0.0.1:1)
// A 10 ms timer ticks on this thread; halfway through a run of ticks one timer handler does
// the work. The longest gap between ticks is the stall. Every base is measured against a run
// whose handler does nothing, in the same process.
#include "shared/MachineId.h"
#include "shared/UsageReport.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

const UINT kPeriodMs = 10;
const int kTicksEachSide = 30;
const int kRepeats = 3;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Run {
    std::function<void()> work;
    int ticks = 0;
    double last = 0;
    double longestGap = 0;
    double workMs = 0;
};
Run* g_run = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Run& run = *g_run;
    const double now = Now();
    if (run.ticks > 0 && now - run.last > run.longestGap)
        run.longestGap = now - run.last;
    run.last = now;
    if (++run.ticks == kTicksEachSide) {
        const double start = Now();
        run.work();
        run.workMs = Now() - start;
    }
}

// Longest gap between ticks (ms) around one call of work in a timer handler.
Run Measure(std::function<void()> work)
{
    Run run;
    run.work = std::move(work);
    g_run = &run;
    const UINT_PTR timer = SetTimer(nullptr, 0, kPeriodMs, Tick);
    MSG msg;
    while (run.ticks < 2 * kTicksEachSide && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    KillTimer(nullptr, timer);
    g_run = nullptr;
    return run;
}

Run Worst(const std::function<void()>& work)
{
    Run worst;
    for (int i = 0; i < kRepeats; ++i) {
        Run r = Measure(work);
        if (r.longestGap > worst.longestGap)
            worst = r;
    }
    return worst;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool cold = argc > 1 && std::wstring(argv[1]) == L"--cold";
    if (argc < (cold ? 3 : 2)) {
        std::fprintf(stderr, "usage: report_block_bench [--cold] BASE...\n");
        return 2;
    }
    if (cold) {
        const Run baseline = Measure([] {});
        const std::wstring base = argv[2];
        const Run r = Measure([&] { SendUsageReportTo(base, L"zc77", L"dr", L"4"); });
        std::printf("first report of the process to %ls: longest gap %.1f ms (baseline %.1f ms), call %.1f ms, "
                    "ratio %.1f\n", base.c_str(), r.longestGap, baseline.longestGap, r.workMs,
                    r.longestGap / baseline.longestGap);
        return 0;
    }
    // Warm up what a first call loads (the SNMP agent, Winsock, WinINet) outside the figures.
    unsigned char scratch[600];
    std::wstring id;
    GetMachineId(id, scratch);

    const Run baseline = Worst([] {});
    std::printf("baseline: longest gap %.1f ms (timer %u ms, no report)\n", baseline.longestGap, kPeriodMs);
    const Run identity = Worst([&] { GetMachineId(id, scratch); });
    std::printf("machine identity alone: longest gap %.1f ms, call %.1f ms, ratio %.1f\n", identity.longestGap,
                identity.workMs, identity.longestGap / baseline.longestGap);
    for (int i = 1; i < argc; ++i) {
        const std::wstring base = argv[i];
        const Run r = Worst([&] { SendUsageReportTo(base, L"zc77", L"dr", L"4"); });
        std::printf("report to %ls: longest gap %.1f ms, call %.1f ms, ratio %.1f\n", base.c_str(), r.longestGap,
                    r.workMs, r.longestGap / baseline.longestGap);
    }
    return 0;
}
