// One check pass over 1,000 top-level windows (100 of them browser frames) against 0, 100, 1,000 and
// 10,000 rules, next to the bare cost of what any pass must do: enumerate the windows, read their
// class names and the browser frames' titles. Then the time to rebuild the rules' index for 10,000
// rules, which a pass pays only after the rule list has changed.

#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "engine/PopupKiller.h"
#include "engine/RuleIndex.h"
#include "platform/Win32TextCase.h"
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

}  // namespace

int main() {
    for (int i = 0; i < 900; ++i)
        zapnix::bench::OpenWindow("BenchOtherWindow", "Document " + std::to_string(i) + " - Editor");
    for (int i = 0; i < 100; ++i)
        zapnix::bench::OpenWindow(i % 2 ? "IEFrame" : "MozillaWindowClass",
                                  "News page " + std::to_string(i) + " - Mozilla Firefox");

    Win32WindowSystem windows;
    Win32TextCase textCase;
    int topLevel = 0;
    int titles = 0;
    const auto bare = [&] {
        topLevel = titles = 0;
        windows.ForEachTopLevelWindow([&](WindowHandle window) {
            ++topLevel;
            if (IsBrowserFrameClass(windows.ClassName(window), textCase)) titles += !windows.Title(window).empty();
        });
    };

    bench::MedianMs(21, bare);  // warm up
    std::printf("%8s %14s %14s %8s\n", "rules", "bare (ms)", "pass (ms)", "ratio");
    for (const int count : {0, 100, 1000, 10000}) {
        const RuleList rules = MakeRules(count);
        CountingRecorder recorder;
        PopupKiller killer(windows, rules, textCase, recorder);
        const auto [bareMs, passMs] = bench::InterleavedMediansMs(301, bare, [&] { killer.CheckWindows(); });
        std::printf("%8d %14.3f %14.3f %7.2fx%s\n", count, bareMs, passMs, passMs / bareMs,
                    recorder.kills ? "  (kills!)" : "");
    }
    std::printf("top-level windows enumerated: %d, browser titles read: %d\n", topLevel, titles);

    const RuleList rules = MakeRules(10000);
    const double rebuild = bench::MedianMs(11, [&] { RuleIndex index(rules.Rows(), textCase); });
    std::printf("rebuild the index for 10000 rules (median of 11): %.2f ms\n", rebuild);
    return 0;
}
