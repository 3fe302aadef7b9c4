#include "killlog/KillLog.h"

#include <array>

#include "profile/NumberedRows.h"

namespace zapnix {
namespace {

constexpr std::string_view kSection = "Windows";
constexpr std::array<std::string_view, 2> kPrefixes{"Title  ", "Date  "};

}  // namespace

void LoadKillLog(const IniDocument& file, KillLog& log) {
    ReadNumberedRows(file, kSection, kPrefixes, [&](std::span<std::string> cells) {
        log.Append({std::move(cells[0]), std::move(cells[1])});
    });
}

void SaveKillLog(const KillLog& log, IniDocument& file) {
    // The log only ever shrinks by being cleared: entries beyond it go, not to stay in the file unseen.
    WriteNumberedRows(
        file, kSection, kPrefixes, log.Count(),
        [&](std::size_t row, std::size_t column) {
            return std::string_view(column == 0 ? log.Row(row).title : log.Row(row).date);
        },
        RowsAbove::Go);
}

void LoadKillLogFromFile(const std::string& path, KillLog& log) {
    LoadKillLog(LoadIniFileWithState(path).document, log);
}

bool SaveKillLogToFile(const std::string& path, const KillLog& log) {
    return UpdateIniFile(path, [&](IniDocument& file) { SaveKillLog(log, file); });
}

FileState KillLogFile::Load(KillLog& log) {
    const LoadedIni file = LoadIniFileWithState(path_);
    LoadKillLog(file.document, log);
    read_ = file.state != FileState::Unreadable;
    return file.state;
}

bool KillLogFile::Save(KillLog& log) {
    return UpdateIniFile(path_, [&](IniDocument& file) {
        if (!read_) {
            KillLog stored;
            LoadKillLog(file, stored);
            for (const KillLogEntry& entry : log.Rows()) stored.Append(entry);
            log = std::move(stored);
            read_ = true;
        }
        SaveKillLog(log, file);
    });
}

}  // namespace zapnix
