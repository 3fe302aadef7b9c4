#include "app/Program.h"

#include <utility>

#include "app/resources/resource.h"
#include "platform/ShortDate.h"
#include "platform/WinInetHttpClient.h"
#include "rules/RuleFile.h"
#include "settings/BrowserList.h"
#include "settings/Settings.h"

namespace zapnix {
namespace {

HICON ProgramIcon() {
    // Shared icons from resources are never destroyed: nothing to own here.
    if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ZAPNIX))) return icon;
    return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

HWND CreateHiddenOwner() {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

}  // namespace

Program::Program(std::string folder)
    : owner_(CreateHiddenOwner()),
      context_{folder, owner_.Get(), ProgramIcon(), windowSystem_, textCase_,
               std::make_shared<WinInetHttpClient>(), runKey_, shell_, notificationArea_},
      rules_(folder + "\\" + std::string(kProfileFileName)),
      killLog_(folder + "\\" + std::string(kKillLogFileName), TodayShortDate),
      browserFrames_(windowSystem_, windowOwners_, textCase_),
      killer_(windowSystem_, browserFrames_, rules_.Rules(), textCase_, killLog_),
      killerSwitch_([this] { killer_.CheckWindows(); }, [this](WindowHandle window) { killer_.CheckWindowNow(window); }),
      main_(context_, rules_, browserFrames_, killerSwitch_, others_),
      others_(context_, main_, killerSwitch_, rules_, killLog_, browserFrames_) {}

bool Program::Start() {
    // The rules and the settings come from one read of the profile file.
    const LoadedIni profile = rules_.Load();
    const Settings settings = ReadSettings(profile.document);
    browserFrames_.SetChromiumBrowsers(ReadBrowserList(profile.document));
    StartupState startup{settings.minimized, settings.enabled, CheckPeriodOf(settings), std::nullopt};
    if (profile.state == FileState::Unreadable) startup.unreadableWhy = std::string(profile.why);
    return main_.Create(startup);
}

}  // namespace zapnix
