#pragma once
// The kill log: one home for the closed windows' entries, oldest first. The viewer shows exactly these
// rows; a kill appends one and the whole log is saved at once.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profile/IniDocument.h"
#include "profile/ProfileFile.h"
#include "rules/TickedRows.h"

namespace zapnix {

inline constexpr std::string_view kKillLogFileName = "poplog.ini";

struct KillLogEntry {
    std::string title;
    std::string date;     // the user's short date text, made once when the kill was recorded
    bool ticked = false;  // the row's tick box: never stored

    friend bool operator==(const KillLogEntry&, const KillLogEntry&) = default;
};

class KillLog {
public:
    std::size_t Count() const { return rows_.size(); }
    const KillLogEntry& Row(std::size_t index) const { return rows_.at(index); }
    KillLogEntry& Row(std::size_t index) { return rows_.at(index); }
    const std::vector<KillLogEntry>& Rows() const { return rows_; }

    void Append(KillLogEntry entry) { rows_.push_back(std::move(entry)); }
    void Clear() { rows_.clear(); }
    // Removes the ticked rows, keeping the order of the others. `anyTickToggled` tells whether the user
    // has toggled a tick box since the viewer was created.
    TickedRemoval ClearSelected(bool anyTickToggled) { return RemoveTickedRows(rows_, anyTickToggled); }

private:
    std::vector<KillLogEntry> rows_;
};

// Section "Windows" of the kill-log file: "Total", then "Title  " + i and "Date  " + i (two blanks).
void LoadKillLog(const IniDocument& file, KillLog& log);
void SaveKillLog(const KillLog& log, IniDocument& file);
// One load and one save, for callers without a store's lifetime; the store uses KillLogFile.
void LoadKillLogFromFile(const std::string& path, KillLog& log);
bool SaveKillLogToFile(const std::string& path, const KillLog& log);

// The kill-log file over the store's lifetime. A file that exists but cannot be read (locked by a
// scanner at the first kill) must not lose its entries: the kills recorded meanwhile stay in the log
// in memory, every save tries the load again first, and the stored entries, once read, go before them.
class KillLogFile {
public:
    explicit KillLogFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    // True once the stored entries are in memory (or there were none: the file was missing).
    bool Read() const { return read_; }

    // Appends the stored entries to `log`; Unreadable leaves the file to be read by a later Save.
    FileState Load(KillLog& log);
    // Writes the whole log, after reading the stored entries into it first when that has not happened
    // yet (so `log` may gain rows at its start). False when nothing was written: the file still cannot
    // be read, or the write failed; `log` keeps every row either way, for the next try.
    bool Save(KillLog& log);

private:
    std::string path_;
    bool read_ = false;
};

}  // namespace zapnix
