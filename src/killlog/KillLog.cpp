#include "killlog/KillLog.h"

#include "rules/ProfileFile.h"

namespace zapnix {
namespace {

constexpr std::string_view kSection = "Windows";
constexpr std::string_view kTitle = "Title  ";
constexpr std::string_view kDate = "Date  ";

}  // namespace

void LoadKillLog(const IniDocument& file, KillLog& log) {
    const auto total = static_cast<std::int32_t>(file.ReadNumber(kSection, "Total"));
    for (std::int32_t i = 1; i <= total; ++i) {
        const auto row = static_cast<std::size_t>(i);
        log.Append(
            {file.ReadString(kSection, NumberedKey(kTitle, row)), file.ReadString(kSection, NumberedKey(kDate, row))});
    }
}

void SaveKillLog(const KillLog& log, IniDocument& file) {
    file.WriteString(kSection, "Total", std::to_string(log.Count()));
    for (std::size_t i = 0; i < log.Count(); ++i) {
        file.WriteString(kSection, NumberedKey(kTitle, i + 1), log.Row(i).title);
        file.WriteString(kSection, NumberedKey(kDate, i + 1), log.Row(i).date);
    }
}

void LoadKillLogFromFile(const std::string& path, KillLog& log) {
    if (const auto file = LoadIniFile(path)) LoadKillLog(*file, log);
}

bool SaveKillLogToFile(const std::string& path, const KillLog& log) {
    auto file = LoadIniFile(path);
    if (!file) return false;
    SaveKillLog(log, *file);
    return SaveIniFile(path, *file);
}

}  // namespace zapnix
