// Recording one kill into a kill log of 10,000 and of 100,000 entries: the whole log saved in one
// atomic write, against the same atomic save done by hand with the raw Windows calls; then the
// 100,000-entry log cleared and saved.
// With "api" also the 10,000-entry save done with one WritePrivateProfileStringA call per key.
//   RecordKillBench [api]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "killlog/KillLog.h"

namespace {

using namespace zapnix;

double ApiSave(const std::string& path, const KillLog& log) {
    DeleteFileA(path.c_str());
    const auto start = bench::Clock::now();
    const char* file = path.c_str();
    WritePrivateProfileStringA("Windows", "Total", std::to_string(log.Count()).c_str(), file);
    for (std::size_t i = 0; i < log.Count(); ++i) {
        WritePrivateProfileStringA("Windows", ("Title  " + std::to_string(i + 1)).c_str(), log.Row(i).title.c_str(),
                                   file);
        WritePrivateProfileStringA("Windows", ("Date  " + std::to_string(i + 1)).c_str(), log.Row(i).date.c_str(),
                                   file);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
    return bench::Milliseconds(bench::Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const bool api = argc > 1 && std::strcmp(argv[1], "api") == 0;
    const std::string path = bench::TempFile("zapnix-bench-poplog.ini");
    const std::string scratch = bench::TempFile("zapnix-bench-poplog-scratch.ini");

    for (const int count : {10000, 100000}) {
        DeleteFileA(path.c_str());
        KillLog log;
        for (int i = 1; i <= count; ++i)
            log.Append({"Pop-up number " + std::to_string(i) + " - Mozilla Firefox", "12/6/2026"});
        SaveKillLogToFile(path, log);

        // The bytes of the log with one more entry, which is what each recording writes.
        log.Append({"Win a Prize - Mozilla Firefox", "12/6/2026"});
        SaveKillLogToFile(path, log);
        const std::string bytes = bench::FileBytes(path);
        bench::StoreCopy(scratch, bytes);
        const auto [record, floor] = bench::InterleavedMediansMs(
            21,
            [&] {
                log.Append({"Win a Prize - Mozilla Firefox", "12/6/2026"});
                if (!SaveKillLogToFile(path, log)) std::printf("save failed\n");
            },
            [&] { bench::RawAtomicSave(scratch, bytes); });
        std::printf("kill log of %d entries (%zu bytes):\n", count, bytes.size());
        std::printf("  record one kill, whole log in one atomic write (median of 21): %.2f ms\n", record);
        std::printf("  the same atomic save by hand (median of 21): %.2f ms\n", floor);
        std::printf("  record / by hand: %.2fx\n", record / floor);
        if (count == 100000) {
            // "Clear Log": the save takes every stored entry out of the file, which must cost about
            // what one recording does, not grow with the entries squared.
            std::vector<double> cleared;
            for (int run = 0; run < 5; ++run) {
                ReplaceFileAtomically(path, bytes);
                cleared.push_back(bench::MedianMs(1, [&] {
                    if (!SaveKillLogToFile(path, KillLog{})) std::printf("save failed\n");
                }));
            }
            std::sort(cleared.begin(), cleared.end());
            std::printf("  clear the log and save (median of 5): %.2f ms\n", cleared[2]);
            if (bench::FileBytes(path) != "[Windows]\r\nTotal=0\r\n") std::printf("  the cleared file holds more\n");
        }
        if (api && count == 10000) {
            const double perKey = ApiSave(scratch, log);
            std::printf("  WritePrivateProfileStringA per key (1 run): %.2f ms (%.0fx)\n", perKey, perKey / record);
        }
    }
    DeleteFileA(path.c_str());
    DeleteFileA(scratch.c_str());
    return 0;
}
