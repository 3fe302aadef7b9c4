// One check pass over 1,100 top-level windows against 0, 100, 1,000 and 10,000 rules, next to the bare
// cost of what any pass must do: enumerate the windows, read their class names and the titles of those
// that count as browsers. 900 windows are other programs', 100 are Internet Explorer and Mozilla frames,
// and 100 have the class that Chrome shares with other programs, 25 in each of four other processes: two
// browsers (chrome.exe, msedge.exe) and two that are not (slack.exe, code.exe), all copies of the
// end-to-end tests' PopupHost. Then what the calls that tell those apart cost, and the time to rebuild the
// rules' index for 10,000 rules, which a pass pays only after the rule list has changed.

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "BenchSupport.h"
#include "Driver.h"
#include "engine/BrowserFrameClass.h"
#include "engine/BrowserFrames.h"
#include "engine/PopupKiller.h"
#include "engine/RuleIndex.h"
#include "platform/AppPaths.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowOwners.h"
#include "platform/Win32WindowSystem.h"

namespace {

using namespace zapnix;

class CountingRecorder final : public KillRecorder {
public:
    void RecordKill(const std::string&) override { ++kills; }
    void ReportUndeliveredClose(const std::string&) override { ++kills; }
    int kills = 0;
};

// Rules of every mode and case flag, none of which matches a window of the bench.
RuleList MakeRules(int count) {
    RuleList rules;
    const char* modes[] = {"Exact", "Begins", "Contains", "Ends"};
    for (int i = 0; i < count; ++i)
        rules.Append({"Lottery winner number " + std::to_string(i), "Yes", modes[i % 4], i % 3 ? "No" : "Yes"});
    return rules;
}

constexpr int kWindowsPerHost = 25;

// A copy of PopupHost under `exeName` in `folder`, showing kWindowsPerHost hidden windows of Chrome's class.
std::unique_ptr<e2e::PopupHost> StartHost(const e2e::ScratchFolder& folder, const std::string& exeName) {
    const std::string exe = folder.File(exeName);
    CopyFileA((ExecutableFolder() + "\\..\\tests\\e2e\\PopupHost.exe").c_str(), exe.c_str(), FALSE);
    std::vector<std::string> windows;
    for (int i = 0; i < kWindowsPerHost; ++i)
        windows.push_back("Chrome_WidgetWin_1|hidden|Page " + std::to_string(i) + " - " + exeName);
    return std::make_unique<e2e::PopupHost>(windows, exe);
}

// The time of one call of `call`, in microseconds: the median of 101 rounds over the given windows.
template <typename Call>
double PerCallUs(const std::vector<HWND>& windows, Call call) {
    return bench::MedianMs(101, [&] {
               for (HWND window : windows) call(window);
           }) *
           1000 / static_cast<double>(windows.size());
}

}  // namespace

int main() {
    std::unordered_set<WindowHandle> browsers;
    for (int i = 0; i < 900; ++i)
        zapnix::bench::OpenWindow("BenchOtherWindow", "Document " + std::to_string(i) + " - Editor");
    for (int i = 0; i < 100; ++i)
        browsers.insert(reinterpret_cast<WindowHandle>(zapnix::bench::OpenWindow(
            i % 2 ? "IEFrame" : "MozillaWindowClass", "News page " + std::to_string(i) + " - Mozilla Firefox")));

    const e2e::ScratchFolder folder("zapnix-bench-hosts");
    std::unique_ptr<e2e::PopupHost> hosts[] = {StartHost(folder, "chrome.exe"), StartHost(folder, "msedge.exe"),
                                               StartHost(folder, "slack.exe"), StartHost(folder, "code.exe")};
    std::vector<HWND> shared;
    for (int host = 0; host < 4; ++host)
        for (HWND window : hosts[host]->WindowsOf("Chrome_WidgetWin_1", nullptr)) {
            shared.push_back(window);
            if (host < 2) browsers.insert(reinterpret_cast<WindowHandle>(window));  // chrome.exe, msedge.exe
        }

    Win32WindowSystem windows;
    Win32TextCase textCase;
    Win32WindowOwners owners;
    int topLevel = 0;
    int titles = 0;
    const auto bare = [&] {
        topLevel = titles = 0;
        windows.ForEachTopLevelWindow([&](WindowHandle window) {
            ++topLevel;
            const std::string className = windows.ClassName(window);
            if (browsers.contains(window)) titles += !windows.Title(window).empty();
        });
    };

    const std::vector<std::string> builtIn(std::begin(kBuiltInChromiumBrowsers), std::end(kBuiltInChromiumBrowsers));
    BrowserFrames frames(windows, owners, textCase);
    frames.SetChromiumBrowsers(builtIn);
    int framesFound = 0;
    const double firstPass =
        bench::MedianMs(1, [&] { frames.ForEachFrame([&](WindowHandle, BrowserFamily) { ++framesFound; }); });

    bench::MedianMs(21, bare);  // warm up
    std::printf("%8s %14s %14s %8s\n", "rules", "bare (ms)", "pass (ms)", "ratio");
    for (const int count : {0, 100, 1000, 10000}) {
        const RuleList rules = MakeRules(count);
        CountingRecorder recorder;
        PopupKiller killer(windows, frames, rules, textCase, recorder);
        const auto [bareMs, passMs] = bench::InterleavedMediansMs(301, bare, [&] { killer.CheckWindows(); });
        std::printf("%8d %14.3f %14.3f %7.2fx%s\n", count, bareMs, passMs, passMs / bareMs,
                    recorder.kills ? "  (kills!)" : "");
    }
    std::printf("top-level windows enumerated: %d, browser titles read: %d, browser frames found: %d\n", topLevel,
                titles, framesFound);
    std::printf("the first pass, which asks each process its executable once: %.3f ms\n", firstPass);

    char buffer[260];
    std::printf("per call on another program's window, median of 101 rounds over its %zu windows:\n", shared.size());
    std::printf("  GetClassNameA             %7.1f us\n",
                PerCallUs(shared, [&](HWND w) { GetClassNameA(w, buffer, sizeof buffer); }));
    std::printf("  GetWindowTextA            %7.1f us\n",
                PerCallUs(shared, [&](HWND w) { GetWindowTextA(w, buffer, sizeof buffer); }));
    std::printf("  GetWindowThreadProcessId  %7.1f us\n", PerCallUs(shared, [&](HWND w) {
                    DWORD id = 0;
                    GetWindowThreadProcessId(w, &id);
                }));
    std::printf("  and on its process: OpenProcess, QueryFullProcessImageNameA, CloseHandle  %7.1f us\n",
                PerCallUs(shared, [&](HWND) { owners.ImageOf(hosts[0]->Id()); }));

    const RuleList rules = MakeRules(10000);
    const double rebuild = bench::MedianMs(11, [&] { RuleIndex index(rules.Rows(), textCase); });
    std::printf("rebuild the index for 10000 rules (median of 11): %.2f ms\n", rebuild);

    return 0;
}
