#pragma once
// The browser frame windows that Zapnix acts on, by the upper-cased name of their window class.

#include <string_view>

namespace zapnix {

inline constexpr std::string_view kInternetExplorerFrameClass = "IEFRAME";
inline constexpr std::string_view kMozillaFrameClass = "MOZILLAWINDOWCLASS";

}  // namespace zapnix
