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
    if (!Save()) TraceFailure("the kill log could not be saved to " + Path());
    if (changed_) changed_();
}

void KillLogStore::ReportUndeliveredClose(const std::string& title) {
    TraceFailure("the close request did not reach the pop-up \"" + title + "\"");
}

bool KillLogStore::Save() {
    // Nothing recorded or shown yet: nothing to write. (A log file that could not be read yet is read by
    // the save first, and its entries go before the new ones.)
    return !loaded_ || file_.Save(log_);
}

}  // namespace zapnix
