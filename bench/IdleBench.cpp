// Zapnix.exe after an hour's worth of check passes (3,600 ticks, delivered at once): its memory before
// and after, and the CPU time it uses while idle afterwards.
//   IdleBench.exe path\to\Zapnix.exe

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"

namespace {

struct Usage {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
    double cpuMs = 0;
};

Usage Measure(HANDLE process) {
    Usage usage;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        usage.workingSet = memory.WorkingSetSize;
        usage.privateBytes = memory.PrivateUsage;
    }
    usage.cpuMs = zapnix::bench::ProcessCpuMs(process);
    return usage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: IdleBench Zapnix.exe\n");
        return 2;
    }
    // A scratch folder with 100 rules, a check every hour (the ticks are delivered by hand), and a
    // desktop of 100 browser windows that match none of them.
    std::string profile = "[Windows]\r\nTotal=100\r\n";
    for (int i = 1; i <= 100; ++i) {
        const std::string n = std::to_string(i);
        profile += "Title   " + n + "=Lottery " + n + "\r\nActive  " + n + "=Yes\r\nMatch   " + n +
                   "=Contains\r\nCase    " + n + "=No\r\n";
    }
    profile += "[Settings]\r\nEnabled=1\r\nInterval=3600\r\nMinimized=1\r\n";
    for (int i = 0; i < 100; ++i)
        zapnix::bench::OpenWindow(i % 2 ? "IEFrame" : "MozillaWindowClass", "News " + std::to_string(i));

    const zapnix::bench::ZapnixRun run(argv[1], profile, "zapnix-idle-bench");
    const HWND main = run.MainWindow();
    if (!main) return 1;
    const Usage before = Measure(run.Process());
    const auto start = zapnix::bench::Clock::now();
    for (int tick = 0; tick < 3600; ++tick) {
        PostMessageA(main, WM_TIMER, 1, 0);
        if (tick % 100 == 99) {
            DWORD_PTR ignored;
            SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);  // let the queue drain
            zapnix::bench::PumpPending();
        }
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
    const double passesMs = zapnix::bench::Milliseconds(zapnix::bench::Clock::now() - start);
    const Usage after = Measure(run.Process());
    for (int i = 0; i < 100; ++i, Sleep(100)) zapnix::bench::PumpPending();  // ten idle seconds
    const Usage idle = Measure(run.Process());

    std::printf("3600 passes over %d browser windows and 100 rules: %.0f ms (%.2f ms a pass)\n", 100, passesMs,
                passesMs / 3600);
    std::printf("working set: %.1f MiB before, %.1f MiB after\n", before.workingSet / 1048576.0,
                after.workingSet / 1048576.0);
    std::printf("private bytes: %.1f MiB before, %.1f MiB after\n", before.privateBytes / 1048576.0,
                after.privateBytes / 1048576.0);
    std::printf("CPU while idle for 10 s afterwards: %.1f ms\n", idle.cpuMs - after.cpuMs);
    return 0;
}
