#pragma once
// The kill log's one home for the whole run, made by start-up: the check pass records into it and the
// viewer shows and edits it. It reads the kill-log file when it is first used and saves the whole log
// at every kill, when the viewer closes and when the program ends.

#include <functional>
#include <string>

#include "engine/KillRecorder.h"
#include "killlog/KillLog.h"

namespace zapnix {

class KillLogStore final : public KillRecorder {
public:
    // `today`: the date of a kill, as the user's short date text.
    KillLogStore(std::string path, std::function<std::string()> today)
        : file_(std::move(path)), today_(std::move(today)) {}

    // The entries: the stored ones, read on first use, then the kills of this run.
    KillLog& Log();
    const std::string& Path() const { return file_.Path(); }

    // Appends the kill, dated today, and saves the whole log.
    void RecordKill(const std::string& title) override;
    void ReportUndeliveredClose(const std::string& title) override;
    // Writes the whole log; false (and traced) when it could not be written, the entries kept for the
    // next try.
    bool Save();

    // Called after each kill while a viewer shows the log; an empty function when none does.
    void OnKill(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    KillLogFile file_;
    KillLog log_;
    bool loaded_ = false;
    std::function<std::string()> today_;
    std::function<void()> changed_;
};

}  // namespace zapnix
