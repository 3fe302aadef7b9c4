#include "settings/BrowserList.h"

#include <iterator>

#include "engine/BrowserFrameClass.h"
#include "settings/Settings.h"

namespace zapnix {

std::vector<std::string> ParseBrowserList(std::string_view value) {
    std::vector<std::string> names;
    while (!value.empty()) {
        const auto comma = value.find(',');
        std::string_view name = value.substr(0, comma);
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        const auto first = name.find_first_not_of(" \t");
        if (first == std::string_view::npos) continue;
        name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
        names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> ReadBrowserList(const IniDocument& profile) {
    if (!profile.HasKey(kSettingsSection, kBrowsersKey))
        return std::vector<std::string>(std::begin(kBuiltInChromiumBrowsers), std::end(kBuiltInChromiumBrowsers));
    return ParseBrowserList(profile.ReadString(kSettingsSection, kBrowsersKey));
}

}  // namespace zapnix
