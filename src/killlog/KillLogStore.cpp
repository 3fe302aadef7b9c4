#include "killlog/KillLogStore.h"

#include "platform/Trace.h"

namespace zapnix {

KillLog& KillLogStore::Log() {
    if (!loaded_) {
        file_.Load(log_);
        loaded_ = true;
    }
    return log_;
}

void KillLogStore::RecordKill(const std::string& title) {
    Log().Append({title, today_()});
    Save();
    if (changed_) changed_();
}

void KillLogStore::ReportUndeliveredClose(const std::string& title) {
    TraceFailure("the close request did not reach the pop-up \"" + title + "\"");
}

bool KillLogStore::Save() {
    // Nothing recorded or shown yet: nothing to write. (A log file that could not be read yet is read by
    // the save first, and its entries go before the new ones.)
    if (!loaded_ || file_.Save(log_)) return true;
    TraceFailure("the kill log could not be saved to " + Path());
    return false;
}

}  // namespace zapnix
