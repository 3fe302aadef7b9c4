// The update window against a server on the loopback address (run it in a network namespace of its own):
// the peak working set while it downloads packages of growing size, and how long a request takes to end
// once the user cancels it or closes the window.

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "../tests/win/LoopbackHttpServer.h"
#include "BenchSupport.h"
#include "platform/Win32NotificationArea.h"
#include "platform/Win32RunKeyRegistry.h"
#include "platform/Win32Shell.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"
#include "platform/WinInetHttpClient.h"
#include "update/UpgradeFrm.h"
#include "update/UpgradeIds.h"

namespace {

using namespace zapnix;
using namespace zapnix::ids::upgrade;
using bench::Clock;
using testing::HttpAnswer;
using testing::HttpReply;

constexpr std::uint64_t kMiB = 1024 * 1024;

double PeakWorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    return static_cast<double>(memory.PeakWorkingSetSize) / kMiB;
}

// Handles messages until `done` holds or `limit` has passed.
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::minutes(5)) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::string LastLine(HWND box) {
    std::string text(GetWindowTextLengthA(box) + 1, '\0');
    text.resize(GetWindowTextA(box, text.data(), static_cast<int>(text.size())));
    return text.substr(text.rfind('\n') + 1);
}

struct Bench {
    Win32WindowSystem windows;
    Win32TextCase textCase;
    Win32RunKeyRegistry runKey;
    Win32Shell shell;
    Win32NotificationArea notificationArea;
    WindowContext context{bench::TempFile(""), nullptr, nullptr, windows, textCase, nullptr, runKey, shell,
                          notificationArea};
    std::string target = bench::TempFile("zapnix-update-bench.zip");
    testing::LoopbackHttpServer server;
    std::unique_ptr<UpgradeFrm> frm;

    Bench() {
        while (!context.folder.empty() && context.folder.back() == '\\') context.folder.pop_back();
        server.Serve("/zapnix/updates.txt", HttpAnswer("1.20"));
        Open();
    }
    ~Bench() { DeleteFileA(target.c_str()); }
    void Open() {
        // The program's own client: its time-outs are those the user meets.
        auto ask = [this](const SaveFileRequest&) { return std::optional<std::string>(target); };
        frm = UpgradeFrm::Create(context,
                                 UpgradeServices{std::make_shared<WinInetHttpClient>(), "http://127.0.0.1", ask});
    }
    HWND Item(int id) const { return GetDlgItem(frm->Hwnd(), id); }
    void Click(int id) const { SendMessageA(frm->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Idle() const { return IsWindowEnabled(Item(Command2)) != FALSE; }
    bool Offered() {
        Click(Command2);
        return PumpUntil([&] { return IsWindowEnabled(Item(Command1)) != FALSE; }, std::chrono::seconds(60));
    }
};

// One download of a package of `size` bytes, in a process of its own so that its peak is its own.
void Download(Bench& b, std::uint64_t size) {
    if (!b.Offered()) {
        std::printf("the check found no update\n");
        return;
    }
    const std::string head =
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\nConnection: close\r\n\r\n";
    b.server.Serve("/zapnix/Zapnix-1.2.zip", HttpReply{.bytes = head, .madeUpBody = size});
    const double before = PeakWorkingSetMiB();
    const auto start = Clock::now();
    b.Click(Command1);
    PumpUntil([&] { return b.Idle(); });
    const double seconds = bench::Milliseconds(Clock::now() - start) / 1000;
    const double peak = PeakWorkingSetMiB();
    char label[64];
    std::snprintf(label, sizeof(label), "%llu MiB%s (%.1f s)", static_cast<unsigned long long>(size / kMiB),
                  size == 256 * kMiB ? ", the cap" : "", seconds);
    std::printf("%-28s %-34s %4.0f MiB (+%.0f MiB)\n", label, LastLine(b.Item(Text1)).c_str(), peak, peak - before);
}

void RunAlone(const char* exe, std::uint64_t size) {
    std::string command = exe;
    command.insert(command.begin(), '"');
    command.append("\" ").append(std::to_string(size));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// A server that takes the request and never answers: how long until the UI has its buttons back and until
// the server sees the connection end, after the user's Cancel or the window's close.
void EndingRequests(Bench& b) {
    if (!b.Offered()) return;
    b.server.Serve("/zapnix/Zapnix-1.2.zip",
                   HttpReply{.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789", .holdOpen = true});
    b.Click(Command1);
    PumpUntil([&] { return b.frm->Download() != nullptr && b.server.Requests("/zapnix/Zapnix-1.2.zip") > 0; });
    Sleep(200);  // the body's first piece is in: the request waits for the rest
    int ended = b.server.Ended();
    auto start = Clock::now();
    PostMessageA(b.frm->Download()->Hwnd(), WM_COMMAND, DownloadCancel, 0);
    PumpUntil([&] { return b.Idle(); });
    const double ui = bench::Milliseconds(Clock::now() - start);
    PumpUntil([&] { return b.server.Ended() > ended; }, std::chrono::seconds(120));
    std::printf("download cancelled: the window is idle after %.0f ms, the server sees the end after %.0f ms\n", ui,
                bench::Milliseconds(Clock::now() - start));

    b.server.Serve("/zapnix/updates.txt", HttpReply{.holdOpen = true});
    const int asked = b.server.Requests("/zapnix/updates.txt");
    b.Click(Command2);
    PumpUntil([&] { return b.server.Requests("/zapnix/updates.txt") > asked; });
    Sleep(200);
    ended = b.server.Ended();
    start = Clock::now();
    b.frm.reset();
    const double closing = bench::Milliseconds(Clock::now() - start);
    PumpUntil([&] { return b.server.Ended() > ended; }, std::chrono::seconds(120));
    std::printf("check, window closed: closing took %.0f ms, the server sees the end after %.0f ms\n", closing,
                bench::Milliseconds(Clock::now() - start));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        Bench b;
        if (b.frm) Download(b, std::stoull(argv[1]));
        return 0;
    }
    std::printf("%-28s %-34s %s\n", "package (download time)", "result", "peak working set (growth)");
    std::fflush(stdout);
    for (const std::uint64_t size : {16 * kMiB, 64 * kMiB, 256 * kMiB, 300 * kMiB}) RunAlone(argv[0], size);
    Bench b;
    if (b.frm) EndingRequests(b);
    return 0;
}
