#include "update/ProgressBar.h"

#include <commctrl.h>

namespace zapnix {

HWND CreateProgressBar(HWND parent, int id, int x, int y, int width, int height, int maximum) {
    // The class may not have been registered by the program's start-up.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    const DpiScale scale = DpiScale::ForWindow(parent);
    HWND bar =
        CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, scale(x), scale(y), scale(width), scale(height),
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
    return bar;
}

}  // namespace zapnix
