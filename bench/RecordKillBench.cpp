// Recording one kill into a kill log of 10,000 entries: the whole log saved in one atomic write,
// against the same save done with one WritePrivateProfileStringA call per key.

#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "killlog/KillLog.h"

int main(int argc, char** argv) {
    using namespace zapnix;
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string path = bench::TempFile("zapnix-bench-poplog.ini");
    const std::string apiPath = bench::TempFile("zapnix-bench-poplog-api.ini");
    DeleteFileA(path.c_str());

    KillLog log;
    for (int i = 1; i <= count; ++i)
        log.Append({"Pop-up number " + std::to_string(i) + " - Mozilla Firefox", "12/6/2026"});
    SaveKillLogToFile(path, log);

    const double record = bench::MedianMs(11, [&] {
        log.Append({"Win a Prize - Mozilla Firefox", "12/6/2026"});
        SaveKillLogToFile(path, log);
    });

    DeleteFileA(apiPath.c_str());
    const double api = bench::MedianMs(1, [&] {
        const char* file = apiPath.c_str();
        WritePrivateProfileStringA("Windows", "Total", std::to_string(log.Count()).c_str(), file);
        for (std::size_t i = 0; i < log.Count(); ++i) {
            WritePrivateProfileStringA("Windows", ("Title  " + std::to_string(i + 1)).c_str(), log.Row(i).title.c_str(),
                                       file);
            WritePrivateProfileStringA("Windows", ("Date  " + std::to_string(i + 1)).c_str(), log.Row(i).date.c_str(),
                                       file);
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
    });

    std::printf("kill log entries: %zu\n", log.Count());
    std::printf("record one kill, whole log in one atomic write (median of 11): %.2f ms\n", record);
    std::printf("the same save, WritePrivateProfileStringA per key (1 run): %.2f ms\n", api);
    std::printf("ratio: %.0fx\n", api / record);
    DeleteFileA(path.c_str());
    DeleteFileA(apiPath.c_str());
    return 0;
}
