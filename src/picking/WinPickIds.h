#pragma once
// Control identifiers of the browser window picker.

namespace zapnix::ids::pick {

enum : int { Frame1 = 5001, Label1, Label2, WinList, Label3, WinMozList, Label4, WinChromeList };

}  // namespace zapnix::ids::pick
