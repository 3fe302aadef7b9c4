#pragma once
// The rule list and the file it lives in: loaded once at start-up, together with the settings that
// start-up reads from the same file, and saved when the program ends.

#include <string>

#include "profile/ProfileFile.h"
#include "rules/RuleList.h"

namespace zapnix {

class RuleStore {
public:
    explicit RuleStore(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    RuleList& Rules() { return rules_; }
    const RuleList& Rules() const { return rules_; }

    // Appends the rules of the file and hands back the whole file (start-up reads its settings there).
    LoadedIni Load();
    // Writes the rule list into the file; false when it was not written. A file that could not be read
    // at start-up is never written: the list lacks the rules it holds.
    bool Save() const;
    bool LoadFailed() const { return loadedAs_ == FileState::Unreadable; }

private:
    std::string path_;
    RuleList rules_;
    FileState loadedAs_ = FileState::Missing;
};

}  // namespace zapnix
