// Saving a rule list of 10,000 rules: the engine's one-pass save against the same keys written one
// WritePrivateProfileStringA call at a time. Run under Wine (scripts/bench.sh) or on Windows.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "rules/ProfileFile.h"
#include "rules/RuleFile.h"

namespace {

using Clock = std::chrono::steady_clock;

zapnix::RuleList MakeRules(int count) {
    zapnix::RuleList rules;
    for (int i = 1; i <= count; ++i)
        rules.Append({"Pop-up window number " + std::to_string(i) + " - Mozilla Firefox", i % 3 ? "Yes" : "No",
                      i % 2 ? "Contains" : "Exact", i % 5 ? "No" : "Yes"});
    return rules;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double EngineSave(const std::string& path, const zapnix::RuleList& rules) {
    DeleteFileA(path.c_str());
    const auto start = Clock::now();
    if (!zapnix::SaveWinListToFile(path, rules)) std::printf("engine save failed\n");
    return Milliseconds(Clock::now() - start);
}

double ApiSave(const std::string& path, const zapnix::RuleList& rules) {
    DeleteFileA(path.c_str());
    const auto start = Clock::now();
    const char* file = path.c_str();
    WritePrivateProfileStringA("Windows", "Total", std::to_string(rules.Count()).c_str(), file);
    for (std::size_t i = 0; i < rules.Count(); ++i) {
        const auto& rule = rules.Row(i);
        WritePrivateProfileStringA("Windows", zapnix::NumberedKey("Title   ", i + 1).c_str(), rule.title.c_str(), file);
        WritePrivateProfileStringA("Windows", zapnix::NumberedKey("Active  ", i + 1).c_str(), rule.active.c_str(), file);
        WritePrivateProfileStringA("Windows", zapnix::NumberedKey("Match   ", i + 1).c_str(), rule.match.c_str(), file);
        WritePrivateProfileStringA("Windows", zapnix::NumberedKey("Case    ", i + 1).c_str(), rule.caseSensitive.c_str(),
                                   file);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);  // flush the system's cache
    return Milliseconds(Clock::now() - start);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string enginePath = std::string(temp) + "zapnix-bench-engine.ini";
    const std::string apiPath = std::string(temp) + "zapnix-bench-api.ini";
    const zapnix::RuleList rules = MakeRules(count);

    std::vector<double> engine;
    for (int run = 0; run < 7; ++run) engine.push_back(EngineSave(enginePath, rules));
    const double api = ApiSave(apiPath, rules);

    std::printf("rules saved: %d\n", count);
    std::printf("engine, one atomic write (median of 7): %.2f ms\n", Median(engine));
    std::printf("WritePrivateProfileStringA per key (1 run): %.2f ms\n", api);
    std::printf("ratio: %.0fx\n", api / Median(engine));
    DeleteFileA(enginePath.c_str());
    DeleteFileA(apiPath.c_str());
    return 0;
}
