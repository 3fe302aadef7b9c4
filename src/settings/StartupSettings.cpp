#include "settings/StartupSettings.h"

namespace zapnix {

StartupSettings ReadStartupSettings(const IniDocument& profile) {
    const Settings settings = ReadSettings(profile);
    return {settings.minimized, CheckPeriodOf(settings)};
}

}  // namespace zapnix
