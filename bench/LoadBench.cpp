// Loading at start-up: 10,000 rules from quorb.ini, and a 100,000-entry poplog.ini as the first kill
// loads it; then the same kill log with its Total damaged to 2147483647, which must cost no more.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "killlog/KillLog.h"
#include "rules/RuleFile.h"

int main(int argc, char** argv) {
    using namespace zapnix;
    const int rules = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int kills = argc > 2 ? std::atoi(argv[2]) : 100000;
    const std::string rulePath = bench::TempFile("zapnix-bench-load-quorb.ini");
    const std::string logPath = bench::TempFile("zapnix-bench-load-poplog.ini");
    DeleteFileA(rulePath.c_str());
    DeleteFileA(logPath.c_str());

    RuleList ruleList;
    for (int i = 1; i <= rules; ++i) ruleList.Append({"Pop-up number " + std::to_string(i), "Yes", "Contains", "No"});
    KillLog log;
    for (int i = 1; i <= kills; ++i)
        log.Append({"Pop-up number " + std::to_string(i) + " - Mozilla Firefox", "12/6/2026"});
    if (!SaveWinListToFile(rulePath, ruleList) || !SaveKillLogToFile(logPath, log)) {
        std::printf("could not write the files\n");
        return 1;
    }

    std::size_t loadedRules = 0;
    const double ruleMs = bench::MedianMs(5, [&] {
        const LoadedIni profile = LoadIniFileWithState(rulePath);
        RuleList loaded;
        LoadWinList(profile.document, loaded);
        loadedRules = loaded.Count();
    });
    std::size_t loadedKills = 0;
    const double logMs = bench::MedianMs(5, [&] {
        KillLog loaded;
        KillLogFile(logPath).Load(loaded);
        loadedKills = loaded.Count();
    });
    WriteIniString(logPath, "Windows", "Total", "2147483647");
    std::size_t damagedRows = 0;
    const double damagedMs = bench::MedianMs(5, [&] {
        KillLog loaded;
        KillLogFile(logPath).Load(loaded);
        damagedRows = loaded.Count();
    });

    std::printf("load %zu rules (quorb.ini): %.1f ms (median of 5)\n", loadedRules, ruleMs);
    std::printf("load %zu kill-log entries (poplog.ini): %.1f ms (median of 5)\n", loadedKills, logMs);
    std::printf("the same kill log with Total=2147483647: %zu rows in %.1f ms (median of 5)\n", damagedRows, damagedMs);
    DeleteFileA(rulePath.c_str());
    DeleteFileA(logPath.c_str());
    return 0;
}
