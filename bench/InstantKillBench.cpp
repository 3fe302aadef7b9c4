// Pop-ups closed the moment they appear, with a check delay of a minute:
//   1. 100 matching browser windows opened one after another by this process (another process than
//      Zapnix's): the time from each window's creation to the close request reaching it;
//   2. 10,000 other windows opened and shown: Zapnix's processor time per event it is told of, beside the
//      same windows opened while the killer is off;
//   3. a minute with no events: Zapnix's processor time, beside a baseline build's (give its path).
//   InstantKillBench.exe path\to\Zapnix.exe [path\to\baseline\Zapnix.exe]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

using zapnix::bench::Clock;

using zapnix::bench::PumpPending;

// Zapnix in a scratch folder of its own, with one rule and the killer as given.
zapnix::bench::ZapnixRun StartZapnix(const char* exePath, bool enabled) {
    return zapnix::bench::ZapnixRun(exePath,
                                    "[Windows]\r\nTotal=1\r\nTitle   1=Prize\r\nActive  1=Yes\r\nMatch   1=Contains\r\n"
                                    "Case    1=No\r\n[Settings]\r\nInterval=60\r\nMinimized=1\r\nEnabled=" +
                                        std::string(enabled ? "1" : "0") + "\r\n",
                                    "zapnix-instant-bench");
}

// When the close request reached the window last opened.
Clock::time_point closeRequested;

LRESULT CALLBACK PopupProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        closeRequested = Clock::now();
        return 0;  // the bench destroys it itself
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

double Percentile(std::vector<double> samples, double share) {
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, static_cast<std::size_t>(share * samples.size()))];
}

// Opens and shows `count` windows that match no rule, pumping as it goes; Zapnix's processor time for them.
double OtherWindowsCpuMs(const zapnix::bench::ZapnixRun& zapnix, int count) {
    const double before = zapnix.CpuMs();
    for (int i = 0; i < count; ++i) {
        HWND window = zapnix::bench::OpenWindow("BenchOtherWindow", "Document " + std::to_string(i) + " - Editor");
        ShowWindow(window, SW_SHOWNOACTIVATE);
        DestroyWindow(window);
        if (i % 100 == 99) PumpPending();
    }
    Sleep(2000);  // the events still queued for Zapnix
    return zapnix.CpuMs() - before;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: InstantKillBench Zapnix.exe [baseline Zapnix.exe]\n");
        return 2;
    }
    WNDCLASSA popupClass{};
    popupClass.lpfnWndProc = PopupProcedure;
    popupClass.hInstance = GetModuleHandleA(nullptr);
    popupClass.lpszClassName = "IEFrame";
    RegisterClassA(&popupClass);

    std::vector<double> latencies;
    double otherOnMs = 0;
    {
        const auto zapnix = StartZapnix(argv[1], true);
        if (!zapnix.Process()) return 1;
        for (int i = 0; i < 100; ++i) {
            closeRequested = {};
            const auto created = Clock::now();
            HWND popup = CreateWindowExA(0, "IEFrame", ("Win a Prize " + std::to_string(i)).c_str(),
                                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
            const auto deadline = created + std::chrono::seconds(5);
            while (closeRequested == Clock::time_point{} && Clock::now() < deadline) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
                PumpPending();
            }
            latencies.push_back(
                closeRequested == Clock::time_point{} ? 5000.0 : zapnix::bench::Milliseconds(closeRequested - created));
            DestroyWindow(popup);
        }
        otherOnMs = OtherWindowsCpuMs(zapnix, 10000);
    }
    double otherOffMs = 0;
    {
        const auto zapnix = StartZapnix(argv[1], false);
        otherOffMs = OtherWindowsCpuMs(zapnix, 10000);
    }
    std::printf("creation to close request, 100 pop-ups: median %.1f ms, 99th percentile %.1f ms, worst %.1f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
    std::printf(
        "10,000 other windows opened and shown: %.0f ms of Zapnix's processor time with the killer on "
        "(%.1f us an event), %.0f ms with it off\n",
        otherOnMs, otherOnMs * 1000 / 10000, otherOffMs);

    for (int run = 1; run < argc && run <= 2; ++run) {
        const auto zapnix = StartZapnix(argv[run], true);
        const double before = zapnix.CpuMs();
        for (int i = 0; i < 600; ++i, Sleep(100)) PumpPending();
        std::printf("a minute with no events, %s: %.1f ms of processor time\n", run == 1 ? "this build" : "baseline",
                    zapnix.CpuMs() - before);
    }
    return 0;
}
