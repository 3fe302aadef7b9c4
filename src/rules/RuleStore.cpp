#include "rules/RuleStore.h"

#include "rules/RuleFile.h"

namespace zapnix {

LoadedIni RuleStore::Load() {
    LoadedIni profile = LoadIniFileWithState(path_);
    loadedAs_ = profile.state;
    LoadWinList(profile.document, rules_);
    return profile;
}

bool RuleStore::Save() const {
    return SaveWinListToFile(path_, rules_, loadedAs_);
}

}  // namespace zapnix
