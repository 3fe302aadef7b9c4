#pragma once
// The browser frame windows that Zapnix acts on, by the upper-cased name of their window class, and the
// browsers whose class other programs share, by the file name of their executable.

#include <string_view>

namespace zapnix {

inline constexpr std::string_view kInternetExplorerFrameClass = "IEFRAME";
inline constexpr std::string_view kMozillaFrameClass = "MOZILLAWINDOWCLASS";
// Chrome and the browsers built on its engine; so are chat clients, editors and players, which this class
// alone does not tell from a browser.
inline constexpr std::string_view kChromiumFrameClass = "CHROME_WIDGETWIN_1";

// The Chromium-family browsers known when the user names none.
inline constexpr std::string_view kBuiltInChromiumBrowsers[] = {"chrome.exe", "msedge.exe", "brave.exe", "vivaldi.exe",
                                                                "opera.exe"};

}  // namespace zapnix
