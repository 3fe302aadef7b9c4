// Saving a rule list of 10,000 rules into the profile file that already holds them (and the settings),
// as it is and with one rule edited: the engine's one atomic save against the same atomic save done by
// hand with the raw Windows calls; then into a file that holds them in reverse order. With "api" also
// against one WritePrivateProfileStringA call per key, which takes minutes under Wine. Run under Wine
// (scripts/bench.sh) or on Windows.
//   SaveRulesBench [count] [api]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchSupport.h"
#include "profile/NumberedRows.h"
#include "profile/ProfileFile.h"
#include "rules/RuleFile.h"

namespace {

using namespace zapnix;

RuleList MakeRules(int count) {
    RuleList rules;
    for (int i = 1; i <= count; ++i)
        rules.Append({"Pop-up window number " + std::to_string(i) + " - Mozilla Firefox", i % 3 ? "Yes" : "No",
                      i % 2 ? "Contains" : "Exact", i % 5 ? "No" : "Yes"});
    return rules;
}

double ApiSave(const std::string& path, const RuleList& rules) {
    DeleteFileA(path.c_str());
    const auto start = bench::Clock::now();
    const char* file = path.c_str();
    const std::string section(kRulesSection);
    WritePrivateProfileStringA(section.c_str(), "Total", std::to_string(rules.Count()).c_str(), file);
    for (std::size_t i = 0; i < rules.Count(); ++i) {
        const auto& rule = rules.Row(i);
        for (std::size_t column = 0; column < 4; ++column)
            WritePrivateProfileStringA(section.c_str(), NumberedKey(kRuleKeyPrefixes[column], i + 1).c_str(),
                                       std::string(rule.Cell(column)).c_str(), file);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);  // flush the system's cache
    return bench::Milliseconds(bench::Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const bool api = argc > 2 && std::strcmp(argv[2], "api") == 0;
    const std::string path = bench::TempFile("zapnix-bench-quorb.ini");
    const std::string scratch = bench::TempFile("zapnix-bench-scratch.ini");
    const RuleList rules = MakeRules(count);

    // The profile as the program leaves it: the rules, then the settings.
    DeleteFileA(path.c_str());
    SaveWinListToFile(path, rules);
    WriteIniString(path, "Settings", "Enabled", "1");
    WriteIniString(path, "Settings", "Interval", "3");

    SaveWinListToFile(path, rules);
    const std::string bytes = bench::FileBytes(path);
    bench::StoreCopy(scratch, bytes);
    const auto [engine, floor] = bench::InterleavedMediansMs(
        21, [&] { SaveWinListToFile(path, rules); }, [&] { bench::RawAtomicSave(scratch, bytes); });

    std::printf("rules saved: %d (%zu bytes)\n", count, bytes.size());
    std::printf("engine save into the existing file (median of 21): %.2f ms\n", engine);
    std::printf("the same atomic save by hand (median of 21): %.2f ms\n", floor);
    std::printf("engine / by hand: %.2fx\n", engine / floor);
    // Where the engine's time goes: its work in memory, and the file calls of its save on their own (the
    // read, and the replacement that resolves links, asks whether the file may be replaced and carries its
    // attributes over) against the same by hand.
    const auto [memory, files] = bench::InterleavedMediansMs(
        21,
        [&] {
            IniDocument document = IniDocument::Parse(bytes);
            SaveWinList(rules, document);
            (void)document.Serialize();
        },
        [&] {
            std::string old;
            ReadWholeFile(path, old);
            ReplaceFileAtomically(path, bytes);
        });
    std::printf("  of which in memory (parse, rows, serialise): %.2f ms; the file calls alone: %.2f ms (%.2fx)\n",
                memory, files, files / floor);

    // The save after an edit: one rule's title differs from the file's on every save.
    if (rules.Count() > 0) {
        RuleList edited = rules;
        const std::size_t middle = rules.Count() / 2;
        WindowKiller rule = edited.Row(middle);
        const std::string title = rule.title;
        bool flip = false;
        const auto [editedSave, editedFloor] = bench::InterleavedMediansMs(
            21,
            [&] {
                flip = !flip;
                rule.title = title + (flip ? "!" : "?");
                edited.SetCells(middle, rule);
                SaveWinListToFile(path, edited);
            },
            [&] { bench::RawAtomicSave(scratch, bytes); });
        std::printf("engine save with one rule edited (median of 21): %.2f ms, %.2fx\n", editedSave,
                    editedSave / editedFloor);
    }
    // The same rules over a file that holds them in reverse order, as a hand-edited file might: no key
    // stands where the last one leads, so every key is looked up by name.
    {
        std::string reversed = "[Windows]\r\nTotal=" + std::to_string(count) + "\r\n";
        for (std::size_t row = rules.Count(); row > 0; --row)
            for (std::size_t column = 0; column < 4; ++column)
                reversed += NumberedKey(kRuleKeyPrefixes[column], row) + "=" + std::string(rules.Row(row - 1).Cell(column)) + "\r\n";
        reversed += "[Settings]\r\nEnabled=1\r\nInterval=3\r\n";
        const double save = bench::MedianMs(5, [&] {
            ReplaceFileAtomically(path, reversed);
            SaveWinListToFile(path, rules);
        });
        const double rewrite = bench::MedianMs(5, [&] { ReplaceFileAtomically(path, reversed); });
        std::printf("engine save into the file in reverse order (median of 5): %.2f ms\n", save - rewrite);
    }
    if (api) {
        const double perKey = ApiSave(scratch, rules);
        std::printf("WritePrivateProfileStringA per key (1 run): %.2f ms (%.0fx the engine)\n", perKey,
                    perKey / engine);
    }
    DeleteFileA(path.c_str());
    DeleteFileA(scratch.c_str());
    return 0;
}
