// One check pass over 1,000 top-level windows (100 of them browser frames) against 1,000 rules, next
// to the bare cost of enumerating those windows and reading their class names.

#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "engine/PopupKiller.h"
#include "platform/Win32TextCase.h"
#include "platform/Win32WindowSystem.h"

namespace {

using namespace zapnix;

class CountingRecorder final : public KillRecorder {
public:
    void RecordKill(const std::string&) override { ++kills; }
    int kills = 0;
};

}  // namespace

int main() {
    for (int i = 0; i < 900; ++i)
        zapnix::bench::OpenWindow("BenchOtherWindow", "Document " + std::to_string(i) + " - Editor");
    for (int i = 0; i < 100; ++i)
        zapnix::bench::OpenWindow(i % 2 ? "IEFrame" : "MozillaWindowClass",
                                  "News page " + std::to_string(i) + " - Mozilla Firefox");

    // Rules of every mode and case flag; none matches, so every window survives every pass.
    RuleList rules;
    const char* modes[] = {"Exact", "Begins", "Contains", "Ends"};
    for (int i = 0; i < 1000; ++i)
        rules.Append({"Lottery winner number " + std::to_string(i), "Yes", modes[i % 4], i % 3 ? "No" : "Yes"});

    Win32WindowSystem windows;
    Win32TextCase textCase;
    CountingRecorder recorder;
    PopupKiller killer(windows, rules, textCase, recorder);

    int topLevel = 0;
    const double bare = bench::MedianMs(21, [&] {
        topLevel = 0;
        windows.ForEachTopLevelWindow([&](WindowHandle window) {
            ++topLevel;
            (void)windows.ClassName(window);
        });
    });
    const double pass = bench::MedianMs(21, [&] { killer.CheckWindows(); });

    std::printf("top-level windows enumerated: %d, rules: %zu, kills: %d\n", topLevel, rules.Count(), recorder.kills);
    std::printf("enumerate + class names (median of 21): %.2f ms\n", bare);
    std::printf("check pass (median of 21): %.2f ms\n", pass);
    std::printf("pass / bare enumeration: %.1fx\n", pass / bare);
    return 0;
}
