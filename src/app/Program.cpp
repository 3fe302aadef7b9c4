#include "app/Program.h"

#include <utility>

#include "app/resources/resource.h"
#include "platform/WinInetHttpClient.h"

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
      context_{std::move(folder), owner_.Get(), ProgramIcon(), windowSystem_, textCase_,
               std::make_shared<WinInetHttpClient>(), runKey_, shell_, notificationArea_},
      main_(context_),
      killer_(windowSystem_, main_.Rules(), textCase_, main_) {}

bool Program::Start() {
    main_.SetCheckPass([this] { killer_.CheckWindows(); });
    return main_.Create();
}

}  // namespace zapnix
